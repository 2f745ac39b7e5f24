#pragma once

#include <cstdint>

namespace brisvale::codec {

// Every call answers one of these. 1 or more is success; each failure has a
// text of its own (statusText) that tells a user what went wrong.
enum Status : int16_t {
    kOk = 1,
    kFailed = 0,
    kCannotOpen = -1,
    kNotBmp = -2,
    kNotJpeg = -3,
    kNotGif = -4,
    kNotTiff = -5,
    kNotPcx = -6,
    kNotPng = -7,
    kTruncated = -8,
    kDamaged = -9,
    kUnsupported = -10,
    kTooLarge = -11,
    kOutOfMemory = -12,
    kStopped = -13,
    kCannotWrite = -14,
    kBadDepth = -15,
    kNoPicture = -16,
    kBadArgument = -17,
    kNotWebp = -18,
    kNotAvif = -19,
    kNotHeif = -20,
};

// The text shown for a status; unknown codes get a generic text.
const char *statusText(int status);

inline bool succeeded(int status) { return status >= 1; }

} // namespace brisvale::codec
