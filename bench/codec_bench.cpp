// In-process timings of the codec library on a 2000 x 1500 picture that the
// benchmark makes and writes itself in each format.

#include "imaging/codec/Bmp.h"
#include "imaging/codec/Codec.h"
#include "imaging/codec/FileIO.h"
#include "imaging/codec/Gif.h"
#include "imaging/codec/Jpeg.h"
#include "imaging/codec/Pcx.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <string>
#include <unistd.h>

using namespace brisvale::codec;

namespace {

const std::string &folder()
{
    static const std::string dir = [] {
        char name[] = "/tmp/codec-bench-XXXXXX";
        return std::string(mkdtemp(name));
    }();
    return dir;
}

const Image &picture()
{
    static const Image image = [] {
        Image img;
        Image::create(2000, 1500, 24, img);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                uint8_t *p = img.row(y) + 3 * x;
                p[0] = uint8_t(128 + 127 * std::sin(x * 0.01));
                p[1] = uint8_t((x * y) >> 10);
                p[2] = uint8_t(y / 6 + ((x * 7 + y * 13) & 15));
            }
        return img;
    }();
    return image;
}

std::string file(const char *ext)
{
    const std::string path = folder() + "/picture." + ext;
    if (access(path.c_str(), F_OK) != 0) {
        const Progress none;
        const std::string e = ext;
        if (e == "bmp")
            writeBmpFile(path, 24, picture(), {}, none);
        else if (e == "pcx")
            writePcxFile(path, 24, picture(), {}, none);
        else if (e == "gif")
            writeGifFile(path, 8, picture(), {}, none);
        else
            writeJpgFile(path, 90, 0, 24, picture(), {}, none);
    }
    return path;
}

template <int16_t (*Read)(const std::string &, int32_t, int32_t, Image &, Palette &, const Progress &, int32_t)>
void readAt(benchmark::State &state, const char *ext)
{
    const std::string path = file(ext);
    const Progress none;
    for (auto _ : state) {
        Image image;
        Palette palette;
        if (Read(path, int32_t(state.range(0)), 1, image, palette, none, 0) != kOk)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(image.data());
    }
}

void BM_ReadBmp(benchmark::State &s) { readAt<readBmpFile>(s, "bmp"); }
void BM_ReadPcx(benchmark::State &s) { readAt<readPcxFile>(s, "pcx"); }
void BM_ReadGif(benchmark::State &s) { readAt<readGifFile>(s, "gif"); }

void BM_ReadJpg(benchmark::State &state)
{
    const std::string path = file("jpg");
    const Progress none;
    for (auto _ : state) {
        Image image;
        Palette palette;
        if (readJpgFile(path, int32_t(state.range(0)), 1, 1, image, palette, none) != kOk)
            state.SkipWithError("read failed");
    }
}

void BM_WriteBmp(benchmark::State &state)
{
    const std::string path = folder() + "/written.bmp";
    const Progress none;
    for (auto _ : state)
        if (writeBmpFile(path, int32_t(state.range(0)), picture(), {}, none) != kOk)
            state.SkipWithError("write failed");
}

} // namespace

BENCHMARK(BM_ReadBmp)->Arg(24)->Arg(8)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPcx)->Arg(24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadGif)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadJpg)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteBmp)->Arg(24)->Arg(8)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
