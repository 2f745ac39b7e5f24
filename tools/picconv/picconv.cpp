// Converts a picture through the image codec library, as the program would:
//   picconv IN OUT [--depth 0|1|4|8|24] [--dither] [--quality Q]
// IN may be any file the library reads; OUT is written by its extension (BMP,
// GIF, PCX, JPG). Prints the library's error text and exits non-zero on failure.

#include "ProgramHelp.h"
#include "app/CommandLine.h"
#include "imaging/codec/Codec.h"
#include "imaging/codec/ColourSpace.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace brisvale::codec;

namespace {

int usage()
{
    std::fprintf(stderr, "usage: picconv IN OUT [--depth 0|1|4|8|24] [--dither] [--quality 1..100]\n"
                         "Try 'picconv --help' for more information.\n");
    return 2;
}

std::string upperExtension(const std::string &path)
{
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return ext;
}

// The kind of the input, told by its extension as the picture window tells
// it: a file whose bytes are of another kind is refused by that kind's
// reader, as the window refuses it, never read as what it really is.
std::string kindOf(const std::string &path)
{
    const std::string ext = upperExtension(path);
    if (ext == "WEBP" || ext == "AVIF" || ext == "HEIC" || ext == "HEIF")
        return ext;
    const std::string three = ext.substr(0, 3);
    if (three == "THB")
        return "BMP";
    if (three == "THJ" || ext == "JPEG")
        return "JPG";
    return three;
}

bool parseInt(const char *text, int &out)
{
    char *end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (!end || *end || end == text)
        return false;
    out = int(v);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (const auto status = brisvale::cli::answerStandardOptions(argc, argv, brisvale::program::kHelp,
                                                                 brisvale::program::kVersion))
        return *status;
    if (argc < 3)
        return usage();
    const std::string in = argv[1], out = argv[2];
    int depth = 24, quality = 75, dither = 0;
    for (int i = 3; i < argc; ++i) {
        int *value = std::strcmp(argv[i], "--depth") == 0     ? &depth
                     : std::strcmp(argv[i], "--quality") == 0 ? &quality
                                                              : nullptr;
        if (std::strcmp(argv[i], "--dither") == 0)
            dither = 1;
        else if (!value || i + 1 == argc || !parseInt(argv[++i], *value))
            return usage();
    }
    initialise();
    Image bitmap;
    Palette palette;
    const Progress none;
    const std::string kind = kindOf(in);
    int16_t rc;
    if (kind == "BMP")
        rc = readBmpFile(in, depth, dither, bitmap, palette, none);
    else if (kind == "JPG")
        rc = readJpgFile(in, depth, 1, dither, bitmap, palette, none);
    else if (kind == "GIF")
        rc = readGifFile(in, depth, dither, bitmap, palette, none);
    else if (kind == "PNG")
        rc = readPngFile(in, depth, dither, bitmap, palette, none);
    else if (kind == "TIF")
        rc = readTifFile(in, depth, dither, bitmap, palette, none);
    else if (kind == "PCX")
        rc = readPcxFile(in, depth, dither, bitmap, palette, none);
    else if (kind == "WEBP")
        rc = readWebpFile(in, depth, dither, bitmap, palette, none);
    else if (kind == "AVIF")
        rc = readAvifFile(in, depth, dither, bitmap, palette, none);
    else if (kind == "HEIC" || kind == "HEIF")
        rc = readHeifFile(in, depth, dither, bitmap, palette, none);
    else {
        std::fprintf(stderr, "picconv: %s: %s\n", in.c_str(), statusText(kUnsupported));
        return 1;
    }
    if (!succeeded(rc)) {
        std::fprintf(stderr, "picconv: %s: %s\n", in.c_str(), statusText(rc));
        return 1;
    }
    // The files written carry no profile, so what they hold is sRGB.
    convertColours(bitmap, palette, ColourTarget::Srgb);
    const std::string outKind = upperExtension(out);
    if (outKind == "BMP")
        rc = writeBmpFile(out, depth, bitmap, palette, none);
    else if (outKind == "GIF")
        rc = writeGifFile(out, depth, bitmap, palette, none);
    else if (outKind == "PCX")
        rc = writePcxFile(out, depth, bitmap, palette, none);
    else if (outKind == "JPG" || outKind == "JPEG")
        rc = writeJpgFile(out, quality, 0, depth == 1 ? 1 : 24, bitmap, palette, none);
    else {
        std::fprintf(stderr, "picconv: %s: the output must end in .bmp, .gif, .pcx or .jpg\n", out.c_str());
        return 2;
    }
    if (!succeeded(rc)) {
        std::fprintf(stderr, "picconv: %s: %s\n", out.c_str(), statusText(rc));
        return 1;
    }
    return 0;
}
