#include "CardArtist.h"

#include "CardBacks.h"
#include "CourtFigure.h"
#include "Palette.h"
#include "Pips.h"
#include "controls/Cards.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace brisvale::cardart {

namespace {

constexpr double kLeft = 20.5;
constexpr double kCentre = 35.5;
constexpr double kRight = 50.5;
constexpr double kPipWidth = 13.0;

struct Spot {
    double x;
    double y;
    bool mirrored; // also drawn turned round in the lower half
};

std::vector<Spot> layout(int rank)
{
    const Spot tl{kLeft, 18, true}, tr{kRight, 18, true};
    const Spot ml{kLeft, 48, false}, mr{kRight, 48, false};
    switch (rank) {
    case 2: return {{kCentre, 18, true}};
    case 3: return {{kCentre, 18, true}, {kCentre, 48, false}};
    case 4: return {tl, tr};
    case 5: return {tl, tr, {kCentre, 48, false}};
    case 6: return {tl, tr, ml, mr};
    case 7: return {tl, tr, ml, mr, {kCentre, 33, false}};
    case 8: return {tl, tr, ml, mr, {kCentre, 33, true}};
    case 9: return {tl, tr, {kLeft, 38, true}, {kRight, 38, true}, {kCentre, 48, false}};
    case 10: return {tl, tr, {kLeft, 38, true}, {kRight, 38, true}, {kCentre, 28, true}};
    default: return {};
    }
}

QString rankText(int rank)
{
    switch (rank) {
    case 1: return QStringLiteral("A");
    case 11: return QStringLiteral("J");
    case 12: return QStringLiteral("Q");
    case 13: return QStringLiteral("K");
    default: return QString::number(rank);
    }
}

QColor suitColour(int suit) { return (suit == 2 || suit == 4) ? ink::Red : ink::Black; }

QList<QRgb> facePalette()
{
    using namespace ink;
    QList<QRgb> colours;
    for (const QColor &c : {Black, White, Gray, Silver, Red, DarkRed, Pink, Gold, Ochre, Flesh, Blue, LightBlue, Navy,
                            Brown, Green, Cream})
        colours.append(c.rgb());
    return colours;
}

} // namespace

int CardArtist::bitsPerPixel(int value)
{
    const int suit = CardSuit(value);
    return ((suit == 1 || suit == 3) && CardRank(value) <= 10) ? 1 : 4;
}

QList<QRgb> CardArtist::palette(int value)
{
    if (bitsPerPixel(value) == 1)
        return {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    if (CardSuit(value) != 0 || value == kJoker)
        return facePalette();
    return backPalette(value - kFirstCardBack + 1);
}

QImage CardArtist::newLayer() const
{
    QImage img(kWidth * scale_, kHeight * scale_, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

QImage CardArtist::draw(int value) const
{
    QImage img = newLayer();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.scale(scale_, scale_);
    drawBlank(p, ink::White);
    if (CardSuit(value) != 0)
        drawFace(p, value);
    else if (value == kJoker)
        drawJoker(p);
    else
        paintBack(p, value - kFirstCardBack + 1);
    p.end();
    return img;
}

void CardArtist::drawBlank(QPainter &p, const QColor &fill) const
{
    if (scale_ == 1) {
        // Square pixels; the card control clears the three pixels at each
        // corner, and the pixel set inside each corner closes the outline.
        p.fillRect(QRect(0, 0, kWidth, kHeight), fill);
        p.fillRect(QRect(0, 0, kWidth, 1), ink::Black);
        p.fillRect(QRect(0, kHeight - 1, kWidth, 1), ink::Black);
        p.fillRect(QRect(0, 0, 1, kHeight), ink::Black);
        p.fillRect(QRect(kWidth - 1, 0, 1, kHeight), ink::Black);
        for (const QPoint &pt :
             {QPoint(1, 1), QPoint(kWidth - 2, 1), QPoint(1, kHeight - 2), QPoint(kWidth - 2, kHeight - 2)})
            p.fillRect(QRect(pt, QSize(1, 1)), ink::Black);
        return;
    }
    const double pen = 0.7;
    p.setPen(QPen(ink::Black, pen));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(pen / 2, pen / 2, kWidth - pen, kHeight - pen), 2.6, 2.6);
}

QImage CardArtist::pipSprite(int suit, double width, const QColor &colour) const
{
    const QPainterPath path = pipPath(suit);
    const QRectF box = path.boundingRect();
    const int w = int(std::lround(width * scale_));
    const int h = int(std::lround(width * box.height() / box.width() * scale_));
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(w / box.width(), h / box.height());
    p.translate(-box.topLeft());
    p.fillPath(path, colour);
    return img;
}

void CardArtist::label(QPainter &p, const QString &text, const QString &family, int pixels, double centreX, double top,
                       const QColor &colour, double maxWidth) const
{
    const int scale = scale_;
    // Glyphs are set one by one, close together, so "10" stays narrow.
    const double gap = 0.8;
    QFont font(family);
    font.setBold(true);
    font.setHintingPreference(QFont::PreferFullHinting);
    if (scale == 1) {
        font.setStyleStrategy(QFont::NoAntialias);
        // A label too wide for its place is set a size smaller until it fits.
        std::vector<QRect> boxes;
        int width = 0;
        for (int size = pixels; size >= pixels / 2; --size) {
            font.setPixelSize(size);
            const QFontMetrics metrics(font);
            boxes.clear();
            width = 0;
            for (const QChar ch : text) {
                boxes.push_back(metrics.tightBoundingRect(QString(ch)));
                width += boxes.back().width();
            }
            width += int(text.size() - 1); // one pixel between glyphs
            if (width <= maxWidth)
                break;
        }
        int x = int(std::lround(centreX - width / 2.0));
        int inkTop = 0;
        for (const QRect &box : boxes)
            inkTop = std::min(inkTop, box.top());
        p.setFont(font);
        p.setPen(colour);
        for (int k = 0; k < text.size(); ++k) {
            p.drawText(QPointF(x - boxes[k].left(), std::lround(top) - inkTop), QString(text[k]));
            x += boxes[k].width() + 1;
        }
        return;
    }
    // Outlines taken at ten times the size, free of any hinting; a label too
    // wide for its place is narrowed.
    font.setPixelSize(pixels * 10);
    std::vector<QPainterPath> glyphs;
    double width = 0;
    double inkTop = 0;
    for (const QChar ch : text) {
        QPainterPath path;
        path.addText(0, 0, font, QString(ch));
        glyphs.push_back(QTransform::fromScale(0.1, 0.1).map(path));
        width += glyphs.back().boundingRect().width();
        inkTop = std::min(inkTop, glyphs.back().boundingRect().top());
    }
    width += gap * double(text.size() - 1);
    const double squeeze = width > maxWidth ? maxWidth / width : 1.0;
    double x = centreX - width * squeeze / 2;
    for (const QPainterPath &glyph : glyphs) {
        const QRectF box = glyph.boundingRect();
        QTransform t;
        t.translate(x, top - inkTop);
        t.scale(squeeze, 1.0);
        t.translate(-box.left(), 0);
        p.fillPath(t.map(glyph), colour);
        x += (box.width() + gap) * squeeze;
    }
}

void CardArtist::drawIndex(QPainter &p, int rank, int suit) const
{
    const QColor colour = suitColour(suit);
    const double centre = 6.5;
    label(p, rankText(rank), QStringLiteral("DejaVu Serif"), 12, centre, 3, colour, 11);
    const QImage pip = pipSprite(suit, 9, colour);
    p.save();
    p.resetTransform();
    p.drawImage(QPoint(int(std::lround(centre * scale_ - pip.width() / 2.0)), int(std::lround(15.0 * scale_))), pip);
    p.restore();
}

void CardArtist::drawPips(QPainter &p, int rank, int suit) const
{
    const QColor colour = suitColour(suit);
    p.save();
    p.resetTransform();
    if (rank == 1) {
        const double width = suit == 1 ? 33 : 29;
        const QImage pip = pipSprite(suit, width, colour);
        const QPoint at(int(std::lround(kCentre * scale_ - pip.width() / 2.0)),
                        int(std::lround(48.0 * scale_ - pip.height() / 2.0)));
        p.drawImage(at, pip);
        if (suit == 1) {
            // The ace of spades carries an inlaid line inside its symbol.
            const QPainterPath path = pipPath(1);
            const QRectF box = path.boundingRect();
            p.setRenderHint(QPainter::Antialiasing);
            p.translate(at.x() + pip.width() / 2.0, at.y() + pip.height() * 0.44);
            p.scale(pip.width() / box.width() * 0.66, pip.height() / box.height() * 0.62);
            p.translate(-box.center().x(), -box.center().y() + box.height() * 0.06);
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(ink::White, scale_ / (pip.width() / box.width() * 0.66)));
            p.drawPath(path);
        }
        p.restore();
        return;
    }
    const QImage up = pipSprite(suit, kPipWidth, colour);
    const QImage down = up.mirrored(true, true);
    const int cardW = kWidth * scale_;
    const int cardH = kHeight * scale_;
    for (const Spot &spot : layout(rank)) {
        const int x = int(std::lround(spot.x * scale_ - up.width() / 2.0));
        const int y = int(std::lround(spot.y * scale_ - up.height() / 2.0));
        p.drawImage(QPoint(x, y), up);
        // The turned-round twin sits exactly where the card's half-turn puts it.
        if (spot.mirrored)
            p.drawImage(QPoint(cardW - x - up.width(), cardH - y - up.height()), down);
    }
    p.restore();
}

void CardArtist::drawTurned(QPainter &p, const std::function<void(QPainter &)> &paintHalf) const
{
    // What a card shows twice is drawn once and turned round, so both halves
    // match to the pixel.
    QImage half = newLayer();
    {
        QPainter hp(&half);
        hp.setRenderHint(QPainter::Antialiasing);
        hp.setRenderHint(QPainter::SmoothPixmapTransform);
        hp.scale(scale_, scale_);
        paintHalf(hp);
    }
    p.save();
    p.resetTransform();
    p.drawImage(0, 0, half);
    p.drawImage(0, 0, half.mirrored(true, true));
    p.restore();
}

void CardArtist::drawJoker(QPainter &p) const
{
    drawTurned(p, [this](QPainter &hp) {
        const QString word = QStringLiteral("JOKER");
        for (int k = 0; k < word.size(); ++k)
            label(hp, word.mid(k, 1), QStringLiteral("DejaVu Sans"), 9, 6.5, 3 + k * 9, ink::Red, 10);
    });
    paintJoker(p);
}

void CardArtist::drawFace(QPainter &p, int value) const
{
    const int rank = CardRank(value);
    const int suit = CardSuit(value);
    drawTurned(p, [&](QPainter &hp) {
        if (rank >= 11) {
            hp.save();
            paintCourtHalf(hp, rank, suit);
            hp.restore();
        }
        drawIndex(hp, rank, suit);
    });
    if (rank <= 10) {
        drawPips(p, rank, suit);
    } else {
        // The line where the two halves of the figure meet.
        p.fillRect(scale_ == 1 ? QRectF(14, 47, 43, 1) : QRectF(14, 47.5, 43, 1), ink::Black);
    }
}

} // namespace brisvale::cardart
