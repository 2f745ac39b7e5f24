#include "platform/HiveDocument.h"

#include <gtest/gtest.h>

using brisvale::platform::HiveDocument;
using Kind = HiveDocument::ValueKind;

namespace {

const QString kBet = QStringLiteral("MORVEL\\Bet");

QString text(const HiveDocument &doc, const QString &key, const QString &name)
{
    const auto v = doc.value(key, name);
    if (!v)
        return QStringLiteral("<absent>");
    if (v->kind != Kind::String)
        return QStringLiteral("<not a string>");
    return v->text;
}

// A hive as found in the wild: a foreign root, a deletion, comments, values
// of other types over continuation lines, stray bytes.
const QByteArray kMixed = QByteArray("REGEDIT4\n"
                                     "\n"
                                     "; kept by hand\n"
                                     "[HKEY_LOCAL_MACHINE\\MORVEL\\Bet]\n"
                                     "\"Amount\"=\"999\"\n"
                                     "\n"
                                     "[HKEY_CURRENT_USER\\MORVEL]\n"
                                     "\n"
                                     "[HKEY_CURRENT_USER\\MORVEL\\Bet]\n"
                                     "\"Amount\"=\"25\"\n"
                                     "\"Blob\"=hex:01,02,03,\\\n"
                                     "  04,05\n"
                                     "\"Count\"=dword:00000010\n"
                                     "garbage \x01\xff\xfe line\n"
                                     "\"Total\"=\"1500\"\n"
                                     "\n"
                                     "[-HKEY_CURRENT_USER\\MORVEL\\Gone]\n"
                                     "\"Amount\"=\"7\"\n"
                                     "\n"
                                     "[HKEY_CURRENT_USER\\MORVEL\\Sound]\n"
                                     "\"WAVFILE1\"=\"C:\\\\Waves\\\\say \\\"hi\\\".wav\"\n",
                                     -1);

} // namespace

TEST(HiveDocument, KeepsEveryLineItDoesNotChange)
{
    HiveDocument doc = HiveDocument::parse(kMixed);
    EXPECT_EQ(doc.serialize(), kMixed);

    ASSERT_TRUE(doc.setString(kBet, QStringLiteral("Total"), QStringLiteral("2000")));
    QByteArray expected = kMixed;
    expected.replace("\"Total\"=\"1500\"", "\"Total\"=\"2000\"");
    EXPECT_EQ(doc.serialize(), expected);
}

TEST(HiveDocument, StrayCarriageReturnsStayWhereTheyWere)
{
    // Line ends of both kinds and extra carriage returns, in a file whose
    // first line ends plainly.
    const QByteArray hive("REGEDIT4\n"
                          "[HKEY_CURRENT_USER\\MORVEL\\Bet]\r\n"
                          "\"Amount\"=\"5\"\r\r\n"
                          " \r\r\n"
                          "\"Total\"=\"9\"\n");
    HiveDocument doc = HiveDocument::parse(hive);
    EXPECT_EQ(text(doc, kBet, QStringLiteral("Amount")), QStringLiteral("5"));
    EXPECT_EQ(doc.serialize(), hive);
    doc.setString(kBet, QStringLiteral("Sound"), QStringLiteral("1"));
    const QByteArray out = doc.serialize();
    EXPECT_EQ(out, hive + "\"Sound\"=\"1\"\n");
    EXPECT_EQ(HiveDocument::parse(out).serialize(), out);
}

TEST(HiveDocument, ReadsStringsOnlyFromTheCurrentUsersKeys)
{
    const HiveDocument doc = HiveDocument::parse(kMixed);
    EXPECT_EQ(text(doc, kBet, QStringLiteral("Amount")), QStringLiteral("25"));
    EXPECT_EQ(text(doc, kBet, QStringLiteral("Total")), QStringLiteral("1500"));
    EXPECT_EQ(text(doc, QStringLiteral("MORVEL\\Sound"), QStringLiteral("WAVFILE1")),
              QStringLiteral("C:\\Waves\\say \"hi\".wav"));
    // Names match without regard to case.
    EXPECT_EQ(text(doc, QStringLiteral("morvel\\BET"), QStringLiteral("amount")), QStringLiteral("25"));
    // Under a deleted key nothing is found.
    EXPECT_EQ(text(doc, QStringLiteral("MORVEL\\Gone"), QStringLiteral("Amount")), QStringLiteral("<absent>"));

    EXPECT_EQ(doc.value(kBet, QStringLiteral("Count"))->kind, Kind::OtherType);
    EXPECT_EQ(doc.value(kBet, QStringLiteral("Blob"))->kind, Kind::OtherType);
    EXPECT_TRUE(doc.hasKey(QStringLiteral("MORVEL")));
    EXPECT_TRUE(doc.hasKey(kBet));
    EXPECT_FALSE(doc.hasKey(QStringLiteral("MORVEL\\Gone")));
    EXPECT_FALSE(doc.hasKey(QStringLiteral("MORV")));
}

TEST(HiveDocument, DamagedLinesHideOnlyThemselves)
{
    const QByteArray damaged("REGEDIT4\n"
                             "[HKEY_CURRENT_USER\\MORVEL\\Payouts]\n"
                             "\"H1\"=\"3\"\n"
                             "\"H2\"=\"4\" trailing\n"
                             "\"H3\"=\"5\n"
                             "\"H4\"=\"\x80\"\n"
                             "\"H5\"=-\n"
                             "\"H6\"\n"
                             "H7=\"1\"\n"
                             "\"H8\"=\"8\"\n"
                             "\"H9\"=\"1",
                             -1);
    // Binary bytes, a zero among them, inside a quoted value.
    QByteArray bytes = damaged;
    bytes.insert(bytes.indexOf("\"H4\"=\"") + 6, '\0');
    HiveDocument doc = HiveDocument::parse(bytes);
    const QString payouts = QStringLiteral("MORVEL\\Payouts");
    EXPECT_EQ(text(doc, payouts, QStringLiteral("H1")), QStringLiteral("3"));
    EXPECT_EQ(text(doc, payouts, QStringLiteral("H2")), QStringLiteral("<absent>"));
    EXPECT_EQ(text(doc, payouts, QStringLiteral("H3")), QStringLiteral("<absent>"));
    EXPECT_EQ(text(doc, payouts, QStringLiteral("H5")), QStringLiteral("<absent>"));
    EXPECT_EQ(text(doc, payouts, QStringLiteral("H6")), QStringLiteral("<absent>"));
    EXPECT_EQ(text(doc, payouts, QStringLiteral("H7")), QStringLiteral("<absent>"));
    EXPECT_EQ(text(doc, payouts, QStringLiteral("H8")), QStringLiteral("8"));
    // A truncated last line is not a value ...
    EXPECT_EQ(text(doc, payouts, QStringLiteral("H9")), QStringLiteral("<absent>"));
    // ... and setting it keeps the damaged line and ends it properly.
    ASSERT_TRUE(doc.setString(payouts, QStringLiteral("H9"), QStringLiteral("99")));
    const QByteArray out = doc.serialize();
    QByteArray expected = bytes;
    expected.replace("\"H8\"=\"8\"\n", "\"H8\"=\"8\"\n\"H9\"=\"99\"\n");
    EXPECT_EQ(out, expected + '\n');
    const HiveDocument again = HiveDocument::parse(out);
    EXPECT_EQ(text(again, payouts, QStringLiteral("H9")), QStringLiteral("99"));
    EXPECT_EQ(text(again, payouts, QStringLiteral("H8")), QStringLiteral("8"));
    EXPECT_EQ(again.serialize(), out);
}

TEST(HiveDocument, HexStringsAreStrings)
{
    // "A\nB" as UTF-16 with its terminating zero, over two lines.
    const QByteArray hive("REGEDIT4\r\n"
                          "[HKEY_CURRENT_USER\\MORVEL\\Sound]\r\n"
                          "\"WAVFILE1\"=hex(1):41,00,0a,00,\\\r\n"
                          "  42,00,00,00\r\n"
                          "\"WAVFILE2\"=hex(1):41,00,0\r\n"
                          "\"WAVFILE3\"=hex(2):41,00,00,00\r\n"
                          "\"WAVFILE4\"=hex(1):zz\r\n");
    HiveDocument doc = HiveDocument::parse(hive);
    const QString sound = QStringLiteral("MORVEL\\Sound");
    EXPECT_EQ(text(doc, sound, QStringLiteral("WAVFILE1")), QStringLiteral("A\nB"));
    EXPECT_EQ(doc.value(sound, QStringLiteral("WAVFILE2"))->kind, Kind::Corrupt);
    EXPECT_EQ(doc.value(sound, QStringLiteral("WAVFILE3"))->kind, Kind::OtherType);
    EXPECT_EQ(doc.value(sound, QStringLiteral("WAVFILE4"))->kind, Kind::Corrupt);
    EXPECT_EQ(doc.serialize(), hive);

    // Text a quoted string cannot carry goes out the same way, with the
    // file's own line ends.
    const QString awkward = QStringLiteral("line one\nline \"two\"\r\\end");
    doc.setString(sound, QStringLiteral("WAVFILE5"), awkward);
    const QByteArray out = doc.serialize();
    EXPECT_FALSE(out.contains("line one"));
    EXPECT_TRUE(out.endsWith("\r\n"));
    EXPECT_EQ(text(HiveDocument::parse(out), sound, QStringLiteral("WAVFILE5")), awkward);
}

TEST(HiveDocument, WritesNewKeysAndValuesInBlocks)
{
    HiveDocument doc = HiveDocument::parse(QByteArray());
    EXPECT_TRUE(doc.addKey(QStringLiteral("MORVEL")));
    EXPECT_FALSE(doc.addKey(QStringLiteral("morvel")));
    EXPECT_EQ(doc.serialize(), QByteArray("REGEDIT4\n\n[HKEY_CURRENT_USER\\MORVEL]\n"));

    doc.setString(kBet, QStringLiteral("Amount"), QStringLiteral("5"));
    doc.setString(QStringLiteral("MORVEL\\Settings"), QStringLiteral("Sound"), QStringLiteral("1"));
    doc.setString(kBet, QStringLiteral("Total"), QStringLiteral("say \"\\\""));
    EXPECT_FALSE(doc.setString(kBet, QStringLiteral("Amount"), QStringLiteral("5")));
    EXPECT_EQ(doc.serialize(), QByteArray("REGEDIT4\n"
                                          "\n"
                                          "[HKEY_CURRENT_USER\\MORVEL]\n"
                                          "\n"
                                          "[HKEY_CURRENT_USER\\MORVEL\\Bet]\n"
                                          "\"Amount\"=\"5\"\n"
                                          "\"Total\"=\"say \\\"\\\\\\\"\"\n"
                                          "\n"
                                          "[HKEY_CURRENT_USER\\MORVEL\\Settings]\n"
                                          "\"Sound\"=\"1\"\n"));
    EXPECT_EQ(text(HiveDocument::parse(doc.serialize()), kBet, QStringLiteral("Total")), QStringLiteral("say \"\\\""));
}

TEST(HiveDocument, SettingAValueReplacesTheOneThatCounts)
{
    // The same value twice, and as another type: the last one is read, and
    // setting it replaces that one.
    HiveDocument doc = HiveDocument::parse("REGEDIT4\n"
                                           "[HKEY_CURRENT_USER\\MORVEL\\Bet]\n"
                                           "\"Total\"=\"1\"\n"
                                           "[HKEY_CURRENT_USER\\MORVEL\\Bet]\n"
                                           "\"Total\"=dword:00000002\n"
                                           "\"Amount\"=hex:01,\\\n");
    EXPECT_EQ(doc.value(kBet, QStringLiteral("Total"))->kind, Kind::OtherType);
    doc.setString(kBet, QStringLiteral("Total"), QStringLiteral("3"));
    EXPECT_EQ(text(doc, kBet, QStringLiteral("Total")), QStringLiteral("3"));
    // A value after a binary value whose last line still asks for more is a
    // line of its own.
    doc.setString(kBet, QStringLiteral("Sound"), QStringLiteral("1"));
    const HiveDocument again = HiveDocument::parse(doc.serialize());
    EXPECT_EQ(text(again, kBet, QStringLiteral("Sound")), QStringLiteral("1"));
    EXPECT_EQ(text(again, kBet, QStringLiteral("Total")), QStringLiteral("3"));
    EXPECT_TRUE(doc.serialize().startsWith("REGEDIT4\n"
                                           "[HKEY_CURRENT_USER\\MORVEL\\Bet]\n"
                                           "\"Total\"=\"1\"\n"));
}
