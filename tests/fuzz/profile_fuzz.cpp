// Any bytes as a data file: parsing never fails and gives back every byte;
// a value set or deleted reads back so after a round trip, and an entry of
// another section is left as it was.
#include "platform/ProfileDocument.h"

#include <cstdint>
#include <cstdlib>

using brisvale::platform::ProfileDocument;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    ProfileDocument doc = ProfileDocument::parse(bytes);
    if (doc.serialize() != bytes)
        std::abort();

    const QString section = QStringLiteral("/Pics/");
    const QString key = QStringLiteral("/pics/a=b.jpg");
    const QString other = QStringLiteral("Other");
    const auto before = doc.value(other, QStringLiteral("k"));

    const QString preview = QStringLiteral("/pics/thm0.thb");
    doc.setValue(section, key, preview);
    ProfileDocument again = ProfileDocument::parse(doc.serialize());
    if (again.value(QStringLiteral("/PICS/"), QStringLiteral("/PICS/A=B.JPG")) != preview)
        std::abort();

    again.removeKey(section, key);
    const ProfileDocument removed = ProfileDocument::parse(again.serialize());
    // A hand-made duplicate entry may still answer; the one written may not.
    if (removed.value(section, key) == preview && !bytes.contains("thm0.thb"))
        std::abort();
    if (section.compare(other, Qt::CaseInsensitive) != 0 && removed.value(other, QStringLiteral("k")) != before)
        std::abort();
    return 0;
}
