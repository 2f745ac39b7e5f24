#pragma once

#include "imaging/codec/Codec.h"

#include <QImage>
#include <QString>
#include <functional>
#include <string>

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
double meanDifference(const QImage &a, const QImage &b);
int distinctColours(const QImage &image);

} // namespace brisvale::test
