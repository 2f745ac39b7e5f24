#include "tests/imaging/CodecTestSupport.h"

#include "imaging/codec/Jpeg.h"

#include <QByteArray>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include <jpeglib.h>

using namespace brisvale;
using namespace brisvale::codec;

// Every scan of a progressive JPEG is a pass over the whole picture, so a
// small file of many scans could cost many decodes. Reading one, or refusing
// it, costs at most a few times what its baseline twin costs.
namespace {

// A 1536 x 1024 colour picture of noise and gradients, baseline, or in the
// given scans (each: components, Ss, Se, Ah, Al).
QByteArray encode(const std::vector<std::array<int, 5>> &scans)
{
    const int w = 1536, h = 1024;
    std::mt19937 random(3);
    std::vector<uint8_t> rgb(size_t(w) * h * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = uint8_t((i / 3 % w) / 8 + (i / 3 / w) / 8 + random() % 48);
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char *bytes = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &bytes, &size);
    c.image_width = w;
    c.image_height = h;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    std::vector<jpeg_scan_info> script;
    for (const auto &s : scans) {
        jpeg_scan_info info{};
        info.comps_in_scan = s[0] < 0 ? 3 : 1;
        for (int i = 0; i < info.comps_in_scan; ++i)
            info.component_index[i] = s[0] < 0 ? i : s[0];
        info.Ss = s[1], info.Se = s[2], info.Ah = s[3], info.Al = s[4];
        script.push_back(info);
    }
    if (!script.empty()) {
        c.scan_info = script.data();
        c.num_scans = int(script.size());
    }
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = rgb.data() + size_t(c.next_scanline) * w * 3;
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    QByteArray out(reinterpret_cast<const char *>(bytes), qsizetype(size));
    std::free(bytes);
    return out;
}

// Scans of one coefficient each, every component on its own, first the
// DCs together: 1 + 3 x `coefficients` scans.
std::vector<std::array<int, 5>> singleCoefficientScans(int coefficients)
{
    std::vector<std::array<int, 5>> scans{{-1, 0, 0, 0, 0}};
    for (int k = 1; k <= coefficients; ++k)
        for (int comp = 0; comp < 3; ++comp)
            scans.push_back({comp, k, k, 0, 0});
    return scans;
}

// The file with its second scan sent again right after it.
QByteArray repeatSecondScan(const QByteArray &file)
{
    const qsizetype first = file.indexOf("\xFF\xDA");
    const qsizetype second = file.indexOf("\xFF\xDA", first + 2);
    qsizetype end = second + 2;
    while (end + 1 < file.size()) { // to the next marker that is not stuffing or a restart
        if (uint8_t(file[end]) == 0xFF && file[end + 1] != 0 && (uint8_t(file[end + 1]) & 0xF8) != 0xD0)
            break;
        ++end;
    }
    return file.left(end) + file.mid(second, end - second) + file.mid(end);
}

// The fastest of a few reads, in seconds, and the status of the last.
double timeRead(const QByteArray &file, int &status)
{
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        Image image;
        Palette palette;
        const auto start = std::chrono::steady_clock::now();
        status = readJpeg(reinterpret_cast<const uint8_t *>(file.constData()), size_t(file.size()), ReadOptions{},
                          image, palette);
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

} // namespace

TEST(JpegScanCost, ManyScansCostAFewDecodesAndARepeatedScanIsDamage)
{
    int status = 0;
    const double baseline = timeRead(encode({}), status);
    ASSERT_EQ(status, kOk);

    // Real encoders stay well under these.
    const QByteArray many = encode(singleCoefficientScans(21)); // 64 scans
    const double manyTime = timeRead(many, status);
    EXPECT_EQ(status, kOk);
    EXPECT_LT(manyTime, 4 * baseline) << manyTime << " s against " << baseline << " s";

    const QByteArray tooMany = encode(singleCoefficientScans(63)); // 190 scans
    const double tooManyTime = timeRead(tooMany, status);
    EXPECT_EQ(status, kDamaged);
    EXPECT_LT(tooManyTime, 4 * baseline) << tooManyTime << " s against " << baseline << " s";

    // A progressive file that sends a scan twice, the way a small file made
    // of hundreds of scans is built.
    const QByteArray repeated = repeatSecondScan(encode(singleCoefficientScans(2)));
    timeRead(repeated, status);
    EXPECT_EQ(status, kDamaged);
}
