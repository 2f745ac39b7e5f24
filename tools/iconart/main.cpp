// Draws the program's icon: a framed picture of a castle at dusk with an ace
// of hearts in front. The shapes are described once and written both as the
// scalable SVG and as PNG renditions at the sizes of the hicolor theme, so the
// two never differ.
//   brisvale_iconart OUTDIR    writes OUTDIR/hicolor/{scalable,NxN}/apps/brisvale.*

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <QTransform>

#include <cstdio>
#include <vector>

namespace {

constexpr int kDesign = 256; // the drawing's own units

struct Shape {
    QPainterPath path;
    QColor fill;
    QColor fillBottom; // a vertical gradient to this colour when valid
    QColor stroke;
    qreal strokeWidth = 0;
};

QPainterPath heart(QPointF centre, qreal size)
{
    // Two lobes and a point, drawn as curves so it stays smooth at any size.
    const qreal s = size / 2;
    QPainterPath p;
    p.moveTo(centre.x(), centre.y() + s);
    p.cubicTo(centre.x() - s * 1.1, centre.y() + s * 0.1, centre.x() - s, centre.y() - s * 0.9, centre.x(),
              centre.y() - s * 0.45);
    p.cubicTo(centre.x() + s, centre.y() - s * 0.9, centre.x() + s * 1.1, centre.y() + s * 0.1, centre.x(),
              centre.y() + s);
    p.closeSubpath();
    return p;
}

std::vector<Shape> icon()
{
    std::vector<Shape> shapes;
    // The frame and the dusk inside it.
    QPainterPath frame;
    frame.addRoundedRect(QRectF(12, 20, 200, 168), 14, 14);
    shapes.push_back({frame, QColor(0x8a, 0x55, 0x24), {}, QColor(0x4a, 0x2c, 0x10), 4});
    QPainterPath sky;
    sky.addRect(QRectF(30, 38, 164, 132));
    shapes.push_back({sky, QColor(0x2a, 0x2f, 0x78), QColor(0xf2, 0x9a, 0x52), {}, 0});
    QPainterPath sun;
    sun.addEllipse(QPointF(74, 66), 15, 15);
    shapes.push_back({sun, QColor(0xff, 0xd8, 0x6b), {}, {}, 0});

    // The castle: a wall with three towers and battlements.
    QPainterPath castle;
    castle.moveTo(30, 170);
    castle.lineTo(30, 132);
    const qreal towers[][3] = {{40, 100, 24}, {86, 84, 30}, {138, 110, 22}}; // left, top, width
    qreal x = 30;
    for (const auto &t : towers) {
        castle.lineTo(x, 140);
        castle.lineTo(t[0], 140);
        castle.lineTo(t[0], t[1]);
        for (int m = 0; m < 3; ++m) { // merlons
            const qreal step = t[2] / 5;
            castle.lineTo(t[0] + step * (2 * m), t[1] - 8);
            castle.lineTo(t[0] + step * (2 * m + 1), t[1] - 8);
            castle.lineTo(t[0] + step * (2 * m + 1), t[1]);
            if (m < 2)
                castle.lineTo(t[0] + step * (2 * m + 2), t[1]);
        }
        castle.lineTo(t[0] + t[2], t[1]);
        castle.lineTo(t[0] + t[2], 140);
        x = t[0] + t[2];
    }
    castle.lineTo(194, 140);
    castle.lineTo(194, 170);
    castle.closeSubpath();
    shapes.push_back({castle, QColor(0x1c, 0x1a, 0x3a), {}, {}, 0});

    // The card, turned a little, with its heart.
    QTransform turn;
    turn.translate(176, 150);
    turn.rotate(12);
    QPainterPath card;
    card.addRoundedRect(QRectF(-52, -74, 104, 148), 10, 10);
    shapes.push_back({turn.map(card), QColor(0xff, 0xff, 0xff), {}, QColor(0x30, 0x30, 0x30), 4});
    shapes.push_back({turn.map(heart(QPointF(0, 4), 64)), QColor(0xd0, 0x10, 0x20), {}, {}, 0});
    shapes.push_back({turn.map(heart(QPointF(-34, -52), 18)), QColor(0xd0, 0x10, 0x20), {}, {}, 0});
    shapes.push_back({turn.map(heart(QPointF(34, 56), 18)), QColor(0xd0, 0x10, 0x20), {}, {}, 0});
    return shapes;
}

QString svgPath(const QPainterPath &path)
{
    QString d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.type == QPainterPath::MoveToElement)
            d += QStringLiteral("M%1 %2").arg(e.x, 0, 'f', 2).arg(e.y, 0, 'f', 2);
        else if (e.type == QPainterPath::LineToElement)
            d += QStringLiteral("L%1 %2").arg(e.x, 0, 'f', 2).arg(e.y, 0, 'f', 2);
        else if (e.type == QPainterPath::CurveToElement)
            d += QStringLiteral("C%1 %2").arg(e.x, 0, 'f', 2).arg(e.y, 0, 'f', 2);
        else
            d += QStringLiteral(" %1 %2").arg(e.x, 0, 'f', 2).arg(e.y, 0, 'f', 2);
    }
    return d + u'Z';
}

QByteArray svg(const std::vector<Shape> &shapes)
{
    QString out;
    QTextStream s(&out);
    s << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kDesign << "\" height=\"" << kDesign
      << "\" viewBox=\"0 0 " << kDesign << ' ' << kDesign << "\">\n";
    int gradients = 0;
    for (const Shape &shape : shapes) {
        QString fill = shape.fill.name();
        if (shape.fillBottom.isValid()) {
            const QRectF box = shape.path.boundingRect();
            fill = QStringLiteral("url(#g%1)").arg(gradients);
            s << "  <linearGradient id=\"g" << gradients++ << "\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\""
              << box.top() << "\" x2=\"0\" y2=\"" << box.bottom() << "\"><stop offset=\"0\" stop-color=\""
              << shape.fill.name() << "\"/><stop offset=\"1\" stop-color=\"" << shape.fillBottom.name()
              << "\"/></linearGradient>\n";
        }
        s << "  <path d=\"" << svgPath(shape.path) << "\" fill=\"" << fill << '"';
        if (shape.strokeWidth > 0)
            s << " stroke=\"" << shape.stroke.name() << "\" stroke-width=\"" << shape.strokeWidth
              << "\" stroke-linejoin=\"round\"";
        s << "/>\n";
    }
    s << "</svg>\n";
    return out.toUtf8();
}

QImage render(const std::vector<Shape> &shapes, int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(qreal(size) / kDesign, qreal(size) / kDesign);
    for (const Shape &shape : shapes) {
        QBrush brush(shape.fill);
        if (shape.fillBottom.isValid()) {
            const QRectF box = shape.path.boundingRect();
            QLinearGradient g(0, box.top(), 0, box.bottom());
            g.setColorAt(0, shape.fill);
            g.setColorAt(1, shape.fillBottom);
            brush = QBrush(g);
        }
        QPen pen(Qt::NoPen);
        if (shape.strokeWidth > 0) {
            pen = QPen(shape.stroke, shape.strokeWidth);
            pen.setJoinStyle(Qt::RoundJoin);
        }
        p.setPen(pen);
        p.setBrush(brush);
        p.drawPath(shape.path);
    }
    return image;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: brisvale_iconart OUTDIR\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/hicolor");
    const std::vector<Shape> shapes = icon();
    bool ok = writeFile(root + QStringLiteral("/scalable/apps/brisvale.svg"), svg(shapes));
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString path = root + QStringLiteral("/%1x%1/apps/brisvale.png").arg(size);
        QDir().mkpath(QFileInfo(path).absolutePath());
        ok = render(shapes, size).save(path, "PNG") && ok;
    }
    if (!ok) {
        std::fprintf(stderr, "brisvale_iconart: cannot write the icons under %s\n", qPrintable(root));
        return 1;
    }
    return 0;
}
