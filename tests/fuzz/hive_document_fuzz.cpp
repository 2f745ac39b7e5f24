// Any bytes as a hive: parsing never fails, writing back what was read is
// stable, and a value set is the value read back after a round trip.
#include "platform/HiveDocument.h"

#include <cstdint>
#include <cstdlib>

using brisvale::platform::HiveDocument;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    HiveDocument doc = HiveDocument::parse(bytes);
    const QString key = QStringLiteral("MORVEL\\Bet");
    (void)doc.hasKey(QStringLiteral("MORVEL"));
    (void)doc.value(key, QStringLiteral("Total"));
    (void)doc.value(QStringLiteral("MORVEL\\Sound"), QStringLiteral("WAVFILE1"));

    const QByteArray once = doc.serialize();
    if (HiveDocument::parse(once).serialize() != once)
        std::abort();

    // A text that needs every kind of escaping, and one that needs hex.
    const QString plain = QStringLiteral("C:\\say \"hi\"");
    const QString awkward = QStringLiteral("two\nlines\r\\");
    doc.setString(key, QStringLiteral("Total"), plain);
    doc.setString(QStringLiteral("MORVEL\\Sound"), QStringLiteral("WAVFILE1"), awkward);
    doc.addKey(QStringLiteral("MORVEL"));
    const HiveDocument again = HiveDocument::parse(doc.serialize());
    const auto total = again.value(key, QStringLiteral("Total"));
    const auto wave = again.value(QStringLiteral("MORVEL\\Sound"), QStringLiteral("WAVFILE1"));
    if (!total || total->kind != HiveDocument::ValueKind::String || total->text != plain)
        std::abort();
    if (!wave || wave->kind != HiveDocument::ValueKind::String || wave->text != awkward)
        std::abort();
    if (!again.hasKey(QStringLiteral("MORVEL")))
        std::abort();
    return 0;
}
