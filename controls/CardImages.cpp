#include "controls/CardImages.h"

#include <QFile>

// The resources live in this static library; referencing their initialiser
// keeps the linker from dropping them.
static void initCardResources() { Q_INIT_RESOURCE(cards); }

namespace brisvale {

namespace {

// Card names are letters and digits; anything else (the "$" names of values
// outside the table, separators) cannot name a card and must not reach the
// resource path.
QString resourceName(const QString &name)
{
    if (name.isEmpty() || name.size() > 32)
        return QString();
    for (const QChar ch : name) {
        if (!(ch.isDigit() || (ch.toLatin1() >= 'a' && ch.toLatin1() <= 'z')
              || (ch.toLatin1() >= 'A' && ch.toLatin1() <= 'Z')))
            return QString();
    }
    static const bool initialised = [] {
        initCardResources();
        return true;
    }();
    Q_UNUSED(initialised);
    return name.toUpper();
}

} // namespace

QString CardImages::bitmapPath(const QString &name)
{
    const QString upper = resourceName(name);
    if (upper.isEmpty())
        return QString();
    const QString path = QStringLiteral(":/cards/") + upper + QStringLiteral(".BMP");
    return QFile::exists(path) ? path : QString();
}

QImage CardImages::bitmap(const QString &name)
{
    const QString path = bitmapPath(name);
    return path.isEmpty() ? QImage() : QImage(path, "BMP");
}

QImage CardImages::rendition(const QString &name, int scale)
{
    if (scale == 1) {
        QImage image = bitmap(name);
        if (image.isNull())
            return image;
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (const QPoint &pt : cornerPixels(image.width(), image.height()))
            image.setPixel(pt, 0);
        return image;
    }
    if (scale < 2 || scale > kLargestScale)
        return QImage();
    const QString upper = resourceName(name);
    if (upper.isEmpty())
        return QImage();
    const QString path = QStringLiteral(":/cards/%1x/").arg(scale) + upper + QStringLiteral(".PNG");
    if (!QFile::exists(path))
        return QImage();
    return QImage(path, "PNG").convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

int CardImages::bestScale(const QSize &devicePixels)
{
    for (int scale = 1; scale < kLargestScale; ++scale) {
        if (devicePixels.width() <= kWidth * scale && devicePixels.height() <= kHeight * scale)
            return scale;
    }
    return kLargestScale;
}

std::array<QPoint, 12> CardImages::cornerPixels(int w, int h)
{
    return {QPoint(0, 0),         QPoint(1, 0),     QPoint(0, 1),         QPoint(w - 1, 0),
            QPoint(w - 2, 0),     QPoint(w - 1, 1), QPoint(w - 1, h - 1), QPoint(w - 2, h - 1),
            QPoint(w - 1, h - 2), QPoint(0, h - 1), QPoint(1, h - 1),     QPoint(0, h - 2)};
}

} // namespace brisvale
