#include "IndexedBitmap.h"

#include <QByteArray>
#include <QFile>
#include <QtEndian>
#include <limits>

namespace brisvale::cardart {

namespace {

int distance(QRgb a, QRgb b)
{
    // Green weighs most and blue least, roughly as the eye does.
    const int dr = qRed(a) - qRed(b);
    const int dg = qGreen(a) - qGreen(b);
    const int db = qBlue(a) - qBlue(b);
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

void put16(QByteArray &out, int v)
{
    const quint16 le = qToLittleEndian(quint16(v));
    out.append(reinterpret_cast<const char *>(&le), 2);
}

void put32(QByteArray &out, qint64 v)
{
    const quint32 le = qToLittleEndian(quint32(v));
    out.append(reinterpret_cast<const char *>(&le), 4);
}

} // namespace

QImage quantize(const QImage &image, const QList<QRgb> &palette)
{
    const QImage src = image.convertToFormat(QImage::Format_RGB32);
    QImage out(src.size(), QImage::Format_Indexed8);
    out.setColorTable(palette);
    for (int y = 0; y < src.height(); ++y) {
        const QRgb *in = reinterpret_cast<const QRgb *>(src.constScanLine(y));
        uchar *line = out.scanLine(y);
        for (int x = 0; x < src.width(); ++x) {
            int best = 0;
            int bestDistance = std::numeric_limits<int>::max();
            for (int i = 0; i < palette.size(); ++i) {
                const int d = distance(in[x], palette[i]);
                if (d < bestDistance) {
                    bestDistance = d;
                    best = i;
                }
            }
            line[x] = uchar(best);
        }
    }
    return out;
}

bool writeBmp(const QImage &indexed, int bitsPerPixel, const QString &path)
{
    if (indexed.format() != QImage::Format_Indexed8 || (bitsPerPixel != 1 && bitsPerPixel != 4))
        return false;
    const int colours = 1 << bitsPerPixel;
    if (indexed.colorCount() > colours)
        return false;
    const int w = indexed.width();
    const int h = indexed.height();
    const int stride = ((w * bitsPerPixel + 31) / 32) * 4;
    const int headerBytes = 14 + 40 + 4 * colours;
    const int imageBytes = stride * h;

    QByteArray out;
    out.append("BM", 2);
    put32(out, headerBytes + imageBytes);
    put32(out, 0);
    put32(out, headerBytes);
    put32(out, 40);
    put32(out, w);
    put32(out, h);
    put16(out, 1);
    put16(out, bitsPerPixel);
    put32(out, 0); // uncompressed
    put32(out, imageBytes);
    put32(out, 3780); // 96 dots per inch
    put32(out, 3780);
    put32(out, colours);
    put32(out, 0);
    for (int i = 0; i < colours; ++i) {
        const QRgb c = i < indexed.colorCount() ? indexed.color(i) : qRgb(0, 0, 0);
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append(char(0));
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        const uchar *in = indexed.constScanLine(y);
        for (int x = 0; x < w; ++x) {
            if (bitsPerPixel == 1) {
                if (in[x] & 1)
                    row[x / 8] = char(uchar(row[x / 8]) | (0x80 >> (x % 8)));
            } else {
                const int shift = (x % 2 == 0) ? 4 : 0;
                row[x / 2] = char(uchar(row[x / 2]) | ((in[x] & 0x0f) << shift));
            }
        }
        out.append(row);
    }

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(out) == out.size() && file.flush();
}

} // namespace brisvale::cardart
