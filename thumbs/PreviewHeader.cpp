#include "thumbs/PreviewHeader.h"

#include <QByteArray>

#include <cerrno>
#include <cstdint>
#include <unistd.h>

namespace brisvale {

namespace {

// A preview's header and a JPEG's tables come well within this.
constexpr qsizetype kHeaderBytes = 4096;

uint32_t byteAt(const QByteArray &b, qsizetype i) { return uint8_t(b[i]); }
uint32_t le16(const QByteArray &b, qsizetype i) { return byteAt(b, i) | byteAt(b, i + 1) << 8; }
uint32_t be16(const QByteArray &b, qsizetype i) { return byteAt(b, i) << 8 | byteAt(b, i + 1); }
int32_t le32(const QByteArray &b, qsizetype i) { return int32_t(le16(b, i) | le16(b, i + 2) << 16); }

std::optional<QSize> bmpSize(const QByteArray &b)
{
    if (b.size() < 26 || b[0] != 'B' || b[1] != 'M')
        return std::nullopt;
    if (le32(b, 14) == 12)
        return QSize(int(le16(b, 18)), int(le16(b, 20)));
    const int64_t width = le32(b, 18);
    const int64_t height = le32(b, 22);
    // Rows stored top down give a negative height.
    const int64_t tall = height < 0 ? -height : height;
    if (width < 0 || width > INT32_MAX || tall > INT32_MAX)
        return QSize(INT32_MAX, INT32_MAX);
    return QSize(int(width), int(tall));
}

std::optional<QSize> jpegSize(const QByteArray &b)
{
    if (b.size() < 4 || byteAt(b, 0) != 0xFF || byteAt(b, 1) != 0xD8)
        return std::nullopt;
    qsizetype at = 2;
    while (at + 4 <= b.size()) {
        if (byteAt(b, at) != 0xFF)
            return std::nullopt;
        const uint32_t marker = byteAt(b, at + 1);
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 9 > b.size())
                return std::nullopt;
            return QSize(int(be16(b, at + 7)), int(be16(b, at + 5)));
        }
        at += 2 + qsizetype(be16(b, at + 2));
    }
    return std::nullopt;
}

} // namespace

std::optional<QSize> previewHeaderSize(int fd, bool jpeg)
{
    QByteArray bytes(kHeaderBytes, '\0');
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::pread(fd, bytes.data() + got, size_t(bytes.size() - got), off_t(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    bytes.truncate(got);
    return jpeg ? jpegSize(bytes) : bmpSize(bytes);
}

} // namespace brisvale
