#include "imaging/MessageFile.h"
#include "imaging/ScrollingMessage.h"

#include <gtest/gtest.h>

using namespace brisvale;

TEST(SidewaysMessageFile, TaggedFieldsAndDefaults)
{
    MessageSettings s;
    parseSideways("/fc|65280/fh|-20/fn|Serif/fs|14/ft|1010/bc|0/sp|3/sm|Hello there/eo|", s);
    EXPECT_EQ(s.fontColor, 65280);
    EXPECT_EQ(s.fontHeight, -20);
    EXPECT_EQ(s.fontFace, QStringLiteral("Serif"));
    EXPECT_EQ(s.fontSize, 14);
    EXPECT_TRUE(s.bold);
    EXPECT_FALSE(s.italic);
    EXPECT_TRUE(s.underline);
    EXPECT_FALSE(s.strikeOut);
    EXPECT_EQ(s.background, 0);
    EXPECT_EQ(s.speed, 3);
    EXPECT_EQ(s.message, QStringLiteral("Hello there"));

    // Missing fields take their defaults, but style stays; empty ones stay too.
    // The height set here wins over the size of the earlier file.
    parseSideways("/fc|/fh|/sm|Bye/eo|", s);
    EXPECT_EQ(s.fontColor, 65280); // present but empty
    EXPECT_EQ(s.fontHeight, -13);  // "/fn|" missing, so the height field is missing
    EXPECT_EQ(s.fontFace, QStringLiteral("SYSTEM"));
    EXPECT_EQ(s.fontSize, 0);
    EXPECT_TRUE(s.bold);
    EXPECT_EQ(s.background, 128);
    EXPECT_EQ(s.speed, 1);
    EXPECT_EQ(s.message, QStringLiteral("Bye"));

    parseSideways("no tags at all", s);
    EXPECT_EQ(s.message, QStringLiteral(" Invallid message format ! "));
    EXPECT_EQ(s.fontColor, 255);
}

TEST(SidewaysMessageFile, ANumberThatIsNoNumberIsAnError)
{
    MessageSettings s;
    EXPECT_THROW(parseSideways("/fc|red/fh|", s), MessageFormatError);
    EXPECT_THROW(parseSideways("/sp|1.5/sm|x/eo|", s), MessageFormatError);
}

TEST(UpwardMessageFile, LinesAndTheirMeaning)
{
    MessageSettings s;
    parseUpward("ignored\r\n255\r\n-16\r\nSans\r\n12\r\n0100\r\n8388608\r\n2\r\nFirst\r\nSecond\r\n", s);
    EXPECT_EQ(s.fontColor, 255);
    EXPECT_EQ(s.fontHeight, -16);
    EXPECT_EQ(s.fontFace, QStringLiteral("Sans"));
    EXPECT_EQ(s.fontSize, 12);
    EXPECT_FALSE(s.bold);
    EXPECT_TRUE(s.italic);
    EXPECT_EQ(s.background, 8388608);
    EXPECT_EQ(s.speed, 2);
    EXPECT_EQ(s.lines, (QStringList{"First", "Second"}));

    // Eight lines: the look, and no message.
    parseUpward("x\n1\n2\nF\n4\n1111\n6\n0\n", s);
    EXPECT_TRUE(s.lines.isEmpty());
    EXPECT_TRUE(s.strikeOut);

    // The text ends at a zero byte; a file larger than 64 KiB is read whole.
    QByteArray big("x\n1\n2\nF\n4\n0\n6\n0\n");
    big += QByteArray(70000, 'a') + "\nlast";
    parseUpward(big, s);
    ASSERT_EQ(s.lines.size(), 2);
    EXPECT_EQ(s.lines[1], QStringLiteral("last"));
    parseUpward(QByteArray("x\n1\n2\nF\n4\n0\n6\n0\nmsg\0hidden", 27), s);
    EXPECT_EQ(s.lines, QStringList{"msg"});
}

TEST(MessageFiles, HostileValuesAreBroughtWithinBounds)
{
    // A 2 KB file asking for a 1000-point font, the most negative height and
    // endless speed: bounded, so the band stays small and nothing overflows.
    MessageSettings s;
    const QByteArray text = "/fc|1/fh|-2147483648/fn|" + QByteArray(400, 'F') + "/fs|1000/ft|1/bc|2/sp|2147483647/sm|"
                            + QByteArray(2000, 'W') + "/eo|";
    parseSideways(text, s);
    EXPECT_EQ(s.fontHeight, -MessageBounds::kMaxPixels);
    EXPECT_EQ(s.fontSize, MessageBounds::kMaxPoints);
    EXPECT_EQ(s.fontFace.size(), MessageBounds::kMaxFace);
    EXPECT_EQ(s.speed, MessageBounds::kMaxSpeed);
    EXPECT_EQ(s.message.size(), MessageBounds::kMaxText);
    parseSideways("/fc|1/fh|2147483647/fn|/fs|-5/ft|/bc|2/sp|-7/sm|x/eo|", s);
    EXPECT_EQ(s.fontHeight, MessageBounds::kMaxPixels);
    EXPECT_EQ(s.fontSize, 0);
    EXPECT_EQ(s.speed, 0);

    parseUpward("x\n1\n-2147483648\nF\n100000\n0\n6\n-3\n" + QByteArray(3000, 'L') + "\n", s);
    EXPECT_EQ(s.fontHeight, -MessageBounds::kMaxPixels);
    EXPECT_EQ(s.fontSize, MessageBounds::kMaxPoints);
    EXPECT_EQ(s.speed, 0);
    ASSERT_EQ(s.lines.size(), 1);
    EXPECT_EQ(s.lines[0].size(), MessageBounds::kMaxText);

    ScrollingMessage m;
    m.startSideways(QSize(100, 50), QSize(900000, 300));
    EXPECT_EQ(m.bandSize(), QSize(ScrollingMessage::kMaxBandWidth, 300));
}

TEST(UpwardMessageFile, ALoneCarriageReturnEndsALine)
{
    MessageSettings s;
    parseUpward("x\r1\r2\rF\r4\r0\r6\r0\rone\rtwo\r\nthree\r", s);
    EXPECT_EQ(s.fontFace, QStringLiteral("F"));
    EXPECT_EQ(s.lines, (QStringList{"one", "two", "three"}));
}

TEST(UpwardMessageFile, BadNumbersAndShortFilesAreErrors)
{
    MessageSettings s;
    EXPECT_THROW(parseUpward("x\nred\n2\nF\n4\n0\n6\n0\n", s), MessageFormatError);
    EXPECT_THROW(parseUpward("x\n1\n2\n", s), MessageFormatError);
    EXPECT_THROW(parseUpward("", s), MessageFormatError);
}

TEST(ScrollingMessage, SidewaysMovesEverySpeedPlusOneStepsAndWraps)
{
    ScrollingMessage m;
    m.setSpeed(1);
    m.startSideways(QSize(100, 50), QSize(30, 10));
    EXPECT_TRUE(m.horizontal());
    EXPECT_EQ(m.position(), QPoint(100, 20));
    EXPECT_FALSE(m.stepHorizontal()); // speed 1: every second step moves
    EXPECT_TRUE(m.stepHorizontal());
    EXPECT_EQ(m.position(), QPoint(99, 20));
    m.setSpeed(0);
    for (int i = 0; i < 129; ++i)
        m.stepHorizontal();
    EXPECT_EQ(m.position().x(), -30); // the right edge is at 0
    m.stepHorizontal();
    EXPECT_EQ(m.position().x(), 100); // past it: back to the start
    EXPECT_FALSE(m.stepVertical());
    m.stop();
    EXPECT_FALSE(m.stepHorizontal());
}

TEST(ScrollingMessage, UpwardLinesRiseOneAfterAnother)
{
    ScrollingMessage m;
    m.setSpeed(0);
    const auto measure = [](const QString &text) { return QSize(int(text.size()) * 10, 12); };
    m.startUpward(QSize(200, 40), {"Hi", "There"}, measure);
    ASSERT_TRUE(m.vertical());
    EXPECT_EQ(m.text(), QStringLiteral("  Hi "));
    // Width 50 plus 50 / (5 - 2) = 66; band 66 x 17.
    EXPECT_EQ(m.bandSize(), QSize(66, 17));
    EXPECT_EQ(m.position(), QPoint((200 - 66) / 2, 40));
    for (int i = 0; i < 40 + 12 + 5; ++i)
        EXPECT_TRUE(m.stepVertical());
    EXPECT_EQ(m.lineIndex(), 0);
    EXPECT_TRUE(m.stepVertical()); // y fell below -17: the next line
    EXPECT_EQ(m.lineIndex(), 1);
    EXPECT_TRUE(m.lineChanged());
    EXPECT_EQ(m.text(), QStringLiteral("  There "));
    EXPECT_EQ(m.position().y(), 40);

    // Each line is placed in the control as it is when the line comes up.
    QSize control(200, 40);
    ScrollingMessage resized;
    resized.setSpeed(0);
    resized.startUpward([&control] { return control; }, {"Hi", "There"}, measure);
    control = QSize(400, 60);
    while (resized.lineIndex() == 0)
        resized.stepVertical();
    EXPECT_EQ(resized.position(), QPoint((400 - resized.bandSize().width()) / 2, 60));

    ScrollingMessage none;
    none.startUpward(QSize(200, 40), {}, measure);
    EXPECT_FALSE(none.vertical());
    none.startUpward(QSize(200, 40), {""}, measure);
    EXPECT_FALSE(none.running());
}
