#include "imaging/ResourceBitmap.h"

#include "imaging/Bitmap.h"
#include "imaging/CodecImage.h"
#include "imaging/codec/Codec.h"
#include "imaging/codec/FileIO.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QResource>

namespace brisvale {

namespace {

QString resourceRoot(const QString &moduleName)
{
    if (moduleName.isEmpty())
        return QStringLiteral(":/bitmaps");
    const QString id = QString::fromLatin1(
        QCryptographicHash::hash(moduleName.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
    const QString mapRoot = QStringLiteral("/brisvale-module-") + id;
    if (!QDir(QLatin1Char(':') + mapRoot).exists() && !QResource::registerResource(moduleName, mapRoot))
        return {};
    return QLatin1Char(':') + mapRoot + QStringLiteral("/bitmaps");
}

QString findEntry(const QString &root, const QString &resourceName)
{
    bool number = false;
    const uint id = resourceName.toUInt(&number);
    const QString wanted = number ? QStringLiteral("#%1").arg(id) : resourceName;
    if (wanted.isEmpty() || (!number && wanted.startsWith(QLatin1Char('#'))))
        return {};
    const QStringList entries = QDir(root).entryList(QDir::Files);
    for (const QString &entry : entries) {
        const QString base = entry.section(QLatin1Char('.'), 0, 0);
        if (base.compare(wanted, Qt::CaseInsensitive) == 0)
            return root + QLatin1Char('/') + entry;
    }
    return {};
}

// The colour table of a device-independent bitmap: entries and entry size as
// its header gives them; the pixels follow the table.
bool pixelOffset(const QByteArray &dib, uint32_t &offset)
{
    if (dib.size() < 16)
        return false;
    const auto *d = reinterpret_cast<const uint8_t *>(dib.constData());
    const uint32_t headerSize = codec::le32(d);
    uint64_t entries = 0, entrySize = 4, masks = 0;
    if (headerSize == 12) {
        const int bits = codec::le16(d + 10);
        entries = bits >= 16 ? 0 : (uint64_t(1) << bits);
        entrySize = 3;
    } else if (headerSize >= 36 && uint64_t(dib.size()) >= 36) {
        const int bits = codec::le16(d + 14);
        const uint32_t compression = codec::le32(d + 16);
        const uint32_t used = codec::le32(d + 32);
        // Deeper pictures have no table; bit-field masks follow a 40-byte header.
        entries = used != 0 ? used : (bits >= 16 || bits > 8 ? 0 : (uint64_t(1) << bits));
        if (headerSize == 40 && compression == 3)
            masks = 12;
    } else {
        return false;
    }
    const uint64_t off = headerSize + masks + entries * entrySize;
    if (off > uint64_t(dib.size()))
        return false;
    offset = uint32_t(off);
    return true;
}

} // namespace

bool ReadResourceBitmap(const QString &moduleName, const QString &resourceName, const QPaintDevice *window,
                        Bitmap &target)
{
    Q_UNUSED(window);
    const QString root = resourceRoot(moduleName);
    if (root.isEmpty())
        return false;
    const QString path = findEntry(root, resourceName);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    QByteArray dib = file.readAll();
    // Resources may be stored as whole bitmap files; the bitmap proper starts
    // after the 14-byte file header.
    if (dib.startsWith("BM") && dib.size() > 14)
        dib.remove(0, 14);
    uint32_t offset = 0;
    if (!pixelOffset(dib, offset))
        return false;
    QByteArray whole(14, '\0');
    auto *h = reinterpret_cast<uint8_t *>(whole.data());
    h[0] = 'B';
    h[1] = 'M';
    codec::putLe32(h + 2, uint32_t(14 + dib.size()));
    codec::putLe32(h + 10, 14 + offset);
    whole.append(dib);

    const auto *d = reinterpret_cast<const uint8_t *>(whole.constData());
    const int bits = codec::le32(d + 14) == 12 ? codec::le16(d + 24) : codec::le16(d + 28);
    const int depth = (bits == 1 || bits == 4 || bits == 8) ? bits : 24;
    codec::Image image;
    codec::Palette palette;
    if (!codec::succeeded(codec::readBmpMemory(d, size_t(whole.size()), depth, 0, image, palette)))
        return false;
    target.setImage(toQImage(std::move(image), palette));
    target.setPalette(toQtPalette(palette));
    return !target.isEmpty();
}

} // namespace brisvale
