#include "tests/imaging/CodecTestSupport.h"

#include "imaging/codec/ColorReduce.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace brisvale::test {

QString codecFixtureDir() { return QString::fromLocal8Bit(qgetenv("BRISVALE_CODEC_FIXTURES")); }

std::string fixturePath(const QString &name) { return QDir(codecFixtureDir()).filePath(name).toStdString(); }

int16_t readByExtension(const std::string &path, int depth, int dither, codec::Image &image, codec::Palette &palette,
                        const codec::Progress &progress)
{
    const QString ext = QFileInfo(QString::fromStdString(path)).suffix().toLower();
    if (ext == QLatin1String("bmp"))
        return codec::readBmpFile(path, depth, dither, image, palette, progress);
    if (ext == QLatin1String("jpg"))
        return codec::readJpgFile(path, depth, 1, dither, image, palette, progress);
    if (ext == QLatin1String("gif"))
        return codec::readGifFile(path, depth, dither, image, palette, progress);
    if (ext == QLatin1String("tif"))
        return codec::readTifFile(path, depth, dither, image, palette, progress);
    if (ext == QLatin1String("pcx"))
        return codec::readPcxFile(path, depth, dither, image, palette, progress);
    if (ext == QLatin1String("png"))
        return codec::readPngFile(path, depth, dither, image, palette, progress);
    if (ext == QLatin1String("webp"))
        return codec::readWebpFile(path, depth, dither, image, palette, progress);
    if (ext == QLatin1String("avif"))
        return codec::readAvifFile(path, depth, dither, image, palette, progress);
    if (ext == QLatin1String("heic"))
        return codec::readHeifFile(path, depth, dither, image, palette, progress);
    return codec::kUnsupported;
}

QImage toRgb32(const codec::Image &image, const codec::Palette &palette)
{
    if (image.empty())
        return {};
    QImage out(image.width(), image.height(), QImage::Format_RGB32);
    std::vector<uint8_t> bgr(size_t(image.width()) * 3);
    for (int y = 0; y < image.height(); ++y) {
        codec::rowToBgr(image, palette, y, bgr.data());
        auto *dst = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (size_t x = 0; x < size_t(image.width()); ++x)
            dst[x] = qRgb(bgr[3 * x + 2], bgr[3 * x + 1], bgr[3 * x]);
    }
    return out;
}

codec::Image fromRgb(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    codec::Image out;
    codec::Image::create(rgb.width(), rgb.height(), 24, out);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *src = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        uint8_t *dst = out.row(y);
        for (size_t x = 0; x < size_t(rgb.width()); ++x) {
            dst[3 * x] = uint8_t(qBlue(src[x]));
            dst[3 * x + 1] = uint8_t(qGreen(src[x]));
            dst[3 * x + 2] = uint8_t(qRed(src[x]));
        }
    }
    return out;
}

int maxDifference(const QImage &a0, const QImage &b0)
{
    if (a0.size() != b0.size() || a0.isNull() || b0.isNull())
        return kNoComparison;
    const QImage a = a0.convertToFormat(QImage::Format_RGB32), b = b0.convertToFormat(QImage::Format_RGB32);
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max(
                {worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

int runWithMemoryCap(size_t bytes, const std::function<int()> &body)
{
    long pages = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    int channel[2];
    if (pages <= 0 || ::pipe(channel) != 0)
        return INT_MIN;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const rlim_t cap = rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE)) + bytes;
        const rlimit limit{cap, cap};
        int result = INT_MIN;
        if (::setrlimit(RLIMIT_AS, &limit) == 0)
            result = body();
        (void)!::write(channel[1], &result, sizeof result);
        ::_exit(0);
    }
    ::close(channel[1]);
    int result = INT_MIN;
    if (child < 0 || ::read(channel[0], &result, sizeof result) != sizeof result)
        result = INT_MIN;
    ::close(channel[0]);
    if (child > 0)
        ::waitpid(child, nullptr, 0);
    return result;
}

double meanDifference(const QImage &a0, const QImage &b0)
{
    if (a0.isNull() || a0.size() != b0.size())
        return kNoComparison;
    const QImage a = a0.convertToFormat(QImage::Format_RGB32), b = b0.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

int distinctColours(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QSet<QRgb> seen;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            seen.insert(rgb.pixel(x, y));
    return int(seen.size());
}

QByteArray tiffDirectory(const std::vector<TiffEntry> &entries)
{
    QByteArray out("II*\0\x08\0\0\0", 8);
    QDataStream s(&out, QIODevice::Append);
    s.setByteOrder(QDataStream::LittleEndian);
    s << uint16_t(entries.size());
    for (const TiffEntry &e : entries)
        s << e.tag << e.type << e.count << e.value;
    s << uint32_t(0);
    return out;
}

} // namespace brisvale::test
