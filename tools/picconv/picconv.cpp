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
#include <sys/stat.h>

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

// The kind of the input, told by its first bytes; the extension decides
// only for files without a signature (PCX has a weak one).
std::string kindOf(const std::string &path)
{
    unsigned char head[12] = {};
    // Only a regular file is opened here: a named pipe would block the open,
    // and the reader refuses it anyway.
    struct stat st {};
    FILE *f = ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? std::fopen(path.c_str(), "rb") : nullptr;
    if (f) {
        const size_t n = std::fread(head, 1, sizeof head, f);
        std::fclose(f);
        if (n >= 2 && head[0] == 'B' && head[1] == 'M')
            return "BMP";
        if (n >= 2 && head[0] == 0xFF && head[1] == 0xD8)
            return "JPG";
        if (n >= 3 && std::memcmp(head, "GIF", 3) == 0)
            return "GIF";
        if (n >= 8 && std::memcmp(head, "\x89PNG\r\n\x1a\n", 8) == 0)
            return "PNG";
        if (n >= 4 && (std::memcmp(head, "II*", 3) == 0 || std::memcmp(head, "MM\0*", 4) == 0))
            return "TIF";
        if (n >= 1 && head[0] == 0x0A)
            return "PCX";
        if (n >= 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WEBP", 4) == 0)
            return "WEBP";
        if (n >= 12 && std::memcmp(head + 4, "ftyp", 4) == 0) {
            // An AVIF may carry a general HEIF brand first; its name tells then.
            if (std::memcmp(head + 8, "avi", 3) == 0 || upperExtension(path) == "AVIF")
                return "AVIF";
            return "HEIC";
        }
    }
    const std::string ext = upperExtension(path);
    return ext == "JPEG" ? "JPG" : ext == "TIFF" ? "TIF" : ext;
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
