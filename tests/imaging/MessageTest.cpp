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

    // Missing fields take their defaults, but size and style stay; empty ones stay too.
    parseSideways("/fc|/fh|/sm|Bye/eo|", s);
    EXPECT_EQ(s.fontColor, 65280); // present but empty
    EXPECT_EQ(s.fontHeight, -13);  // "/fn|" missing, so the height field is missing
    EXPECT_EQ(s.fontFace, QStringLiteral("SYSTEM"));
    EXPECT_EQ(s.fontSize, 14);
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

    ScrollingMessage none;
    none.startUpward(QSize(200, 40), {}, measure);
    EXPECT_FALSE(none.vertical());
    none.startUpward(QSize(200, 40), {""}, measure);
    EXPECT_FALSE(none.running());
}
