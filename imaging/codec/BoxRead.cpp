#include "imaging/codec/Codec.h"
#include "imaging/codec/FileIO.h"
#include "imaging/codec/Jpeg.h"

namespace brisvale::codec {

int16_t readJpgFileForBox(const std::string &name, int32_t depth, int32_t dither, int32_t coverWidth,
                          int32_t coverHeight, Image &bitmap, Palette &palette, const Progress &progress)
{
    bitmap.clear();
    const Palette start = palette;
    palette.clear();
    if (!isDepthCode(depth))
        return kBadDepth;
    if (coverWidth <= 0 || coverHeight <= 0)
        return kBadArgument;
    FILE *file = nullptr;
    int rc = openFile(name, file);
    if (rc == kOk) {
        ReadOptions options;
        options.depth = depth;
        options.dither = dither != 0;
        options.start = &start;
        options.progress = &progress;
        options.coverWidth = coverWidth;
        options.coverHeight = coverHeight;
        rc = readJpegStream(file, options, bitmap, palette);
        std::fclose(file);
    }
    if (rc < kOk) {
        bitmap.clear();
        palette.clear();
    }
    return int16_t(rc);
}

} // namespace brisvale::codec
