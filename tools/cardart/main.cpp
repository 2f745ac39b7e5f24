// Draws the 63 card images and writes them into the source tree:
//   resources/cards/<NAME>.BMP      71 x 96, 1 or 4 bits per pixel
//   resources/cards/2x/<NAME>.PNG   the same design at twice the size
//   resources/cards/3x/<NAME>.PNG   and at three times
//   resources/cards/cards.qrc       the resource list the program embeds
//   docs/cards.png                  a contact sheet of the 71 x 96 images
// Usage: brisvale_cardart <source root> [--sheet <scale> <file>]
// The optional sheet shows a larger rendition for review. The letters are
// set in DejaVu Serif and DejaVu Sans (fonts-dejavu-core); the output is the
// same on every run.
#include "CardArtist.h"
#include "IndexedBitmap.h"
#include "controls/Cards.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QTextStream>
#include <cstdio>

using namespace brisvale;
using namespace brisvale::cardart;

namespace {

constexpr int kScales[] = {2, 3};
const QColor kTable(0, 112, 56);

QString resourceName(int value) { return CardImageName(value).toUpper(); }

bool fail(const QString &what)
{
    std::fprintf(stderr, "brisvale_cardart: %s\n", qPrintable(what));
    return false;
}

bool writeImages(const QString &cards)
{
    for (int scale : kScales) {
        if (!QDir().mkpath(cards + QStringLiteral("/%1x").arg(scale)))
            return fail(QStringLiteral("cannot create %1/%2x").arg(cards).arg(scale));
    }
    for (int value = 1; value <= kCardValueCount; ++value) {
        const QString name = resourceName(value);
        const QImage small = CardArtist(1).draw(value);
        const QImage indexed = quantize(small, CardArtist::palette(value));
        const QString bmp = cards + u'/' + name + QStringLiteral(".BMP");
        if (!writeBmp(indexed, CardArtist::bitsPerPixel(value), bmp))
            return fail(QStringLiteral("cannot write %1").arg(bmp));
        for (int scale : kScales) {
            const QString png = cards + QStringLiteral("/%1x/").arg(scale) + name + QStringLiteral(".PNG");
            if (!CardArtist(scale).draw(value).save(png, "PNG", 9))
                return fail(QStringLiteral("cannot write %1").arg(png));
        }
    }
    return true;
}

bool writeResourceList(const QString &cards)
{
    QFile file(cards + QStringLiteral("/cards.qrc"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return fail(QStringLiteral("cannot write %1").arg(file.fileName()));
    QTextStream out(&file);
    out << "<!DOCTYPE RCC><RCC version=\"1.0\">\n"
        << "<!-- Written by tools/cardart; run the card_artwork target to redraw. -->\n"
        << "<qresource prefix=\"/cards\">\n";
    for (int value = 1; value <= kCardValueCount; ++value)
        out << "  <file>" << resourceName(value) << ".BMP</file>\n";
    for (int scale : kScales) {
        for (int value = 1; value <= kCardValueCount; ++value)
            out << "  <file>" << scale << "x/" << resourceName(value) << ".PNG</file>\n";
    }
    out << "</qresource>\n</RCC>\n";
    return out.status() == QTextStream::Ok;
}

// The 63 images on a table, in rows of thirteen: the four suits, then the
// joker and the backs. At scale 1 the images are read back from the written
// bitmaps and get their corners as the card control gives them.
QImage contactSheet(const QString &cards, int scale)
{
    const int w = CardArtist::kWidth * scale, h = CardArtist::kHeight * scale;
    const int gap = 8 * scale;
    QImage sheet(13 * (w + gap) + gap, 5 * (h + gap) + gap, QImage::Format_RGB32);
    sheet.fill(kTable);
    QPainter p(&sheet);
    for (int value = 1; value <= kCardValueCount; ++value) {
        const int index = value - 1;
        const int row = index / 13, col = index % 13;
        const QPoint at(gap + col * (w + gap), gap + row * (h + gap));
        QImage card;
        if (scale == 1) {
            card = QImage(cards + u'/' + resourceName(value) + QStringLiteral(".BMP"))
                       .convertToFormat(QImage::Format_ARGB32);
            for (const QPoint &pt : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(w - 1, 0), QPoint(w - 2, 0),
                                     QPoint(w - 1, 1), QPoint(w - 1, h - 1), QPoint(w - 2, h - 1), QPoint(w - 1, h - 2),
                                     QPoint(0, h - 1), QPoint(1, h - 1), QPoint(0, h - 2)})
                card.setPixelColor(pt, kTable);
        } else {
            card = QImage(cards + QStringLiteral("/%1x/").arg(scale) + resourceName(value) + QStringLiteral(".PNG"));
        }
        p.drawImage(at, card);
    }
    return sheet;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: brisvale_cardart <source root> [--sheet <scale> <file>]\n");
        return 2;
    }
    const QString root = args.at(1);
    const QString cards = root + QStringLiteral("/resources/cards");
    if (!writeImages(cards) || !writeResourceList(cards))
        return 1;
    const QString sheet = root + QStringLiteral("/docs/cards.png");
    if (!QDir().mkpath(root + QStringLiteral("/docs")) || !contactSheet(cards, 1).save(sheet, "PNG", 9)) {
        fail(QStringLiteral("cannot write %1").arg(sheet));
        return 1;
    }
    if (args.size() >= 5 && args.at(2) == QLatin1String("--sheet")) {
        const int scale = args.at(3).toInt();
        if (scale == 2 || scale == 3)
            contactSheet(cards, scale).save(args.at(4), "PNG");
    }
    return 0;
}
