#pragma once

#include "imaging/codec/Codec.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <functional>
#include <string>
#include <vector>

namespace brisvale::test {

// Folder of the fixtures the fixture script made for this run.
QString codecFixtureDir();
std::string fixturePath(const QString &name);

// Reads a file with the reader its extension names.
int16_t readByExtension(const std::string &path, int depth, int dither, codec::Image &image, codec::Palette &palette,
                        const codec::Progress &progress = {});

// The picture as RGB32, whatever its depth.
QImage toRgb32(const codec::Image &image, const codec::Palette &palette);
// A codec picture from any QImage (24 bits).
codec::Image fromRgb(const QImage &image);
// Largest difference of any channel of any pixel. Pictures of different sizes,
// or a null one, answer kNoComparison, more than any tolerance, so a check
// against a tolerance fails instead of passing without a comparison.
constexpr int kNoComparison = 1000;
int maxDifference(const QImage &a, const QImage &b);
// Runs `body` in a child process whose address space may grow by at most
// `bytes` beyond the parent's, and answers what it returned; INT_MIN when
// the child died. A reader that allocates past the cap fails or dies there.
int runWithMemoryCap(size_t bytes, const std::function<int()> &body);
// Mean difference of the channels of two pictures; kNoComparison as above.
double meanDifference(const QImage &a, const QImage &b);
int distinctColours(const QImage &image);

// A little-endian TIFF header and its one directory of these entries (a
// value that fits stands in the entry, as values of count 1 do), with no next
// directory; what the entries point at is the caller's to append.
struct TiffEntry {
    uint16_t tag, type;
    uint32_t count, value;
};
QByteArray tiffDirectory(const std::vector<TiffEntry> &entries);

} // namespace brisvale::test
