#include "imaging/codec/Status.h"

namespace brisvale::codec {

const char *statusText(int status)
{
    switch (status) {
    case kOk: return "The operation succeeded";
    case kFailed: return "The picture operation failed";
    case kCannotOpen: return "Cannot open the file";
    case kNotBmp: return "Not a BMP file";
    case kNotJpeg: return "Not a JPEG file";
    case kNotGif: return "Not a GIF file";
    case kNotTiff: return "Not a TIFF file";
    case kNotPcx: return "Not a PCX file";
    case kNotPng: return "Not a PNG file";
    case kTruncated: return "The file is truncated";
    case kDamaged: return "The file is damaged";
    case kUnsupported: return "This kind of picture file is not supported";
    case kTooLarge: return "The picture is too large";
    case kOutOfMemory: return "Not enough memory for the picture";
    case kStopped: return "Stopped";
    case kCannotWrite: return "Cannot write the file";
    case kBadDepth: return "That colour depth is not possible for this format";
    case kNoPicture: return "There is no picture";
    case kBadArgument: return "Invalid value given to the picture library";
    case kNotWebp: return "Not a WebP file";
    case kNotAvif: return "Not an AVIF file";
    case kNotHeif: return "Not a HEIC file";
    default: break;
    }
    return status >= 1 ? "The operation succeeded" : "The picture operation failed";
}

} // namespace brisvale::codec
