#include "picture/PictureSelector.h"

#include "game/RandomGenerator.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace brisvale;

namespace {

class PictureSelectorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = test::freshFolder(QStringLiteral("Pics"));
        selector.setClock([] { return QTime(0, 0, 0, 0); }); // seed 0
    }
    QString file(const QString &name)
    {
        const QString path = folder + u'/' + name;
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("picture");
        return path;
    }
    QString shownFolder() const { return folder + u'/'; }

    RandomGenerator generator;
    PictureSelector selector{generator};
    PictureState state;
    QString folder;
};

} // namespace

TEST_F(PictureSelectorTest, NothingChosenAsksForAPicture)
{
    const PictureSelection s = selector.select(state);
    EXPECT_EQ(s.message, QStringLiteral("You will need to first select a picture file"));
    EXPECT_FALSE(s.load || s.show);
    EXPECT_TRUE(s.captions.isEmpty());
    state.currentPicture = folder + QStringLiteral("/gone.bmp");
    EXPECT_EQ(selector.select(state).message, QStringLiteral("You will need to first select a picture file"));
}

TEST_F(PictureSelectorTest, FixedShowsTheRememberedPicture)
{
    state.currentPicture = file(QStringLiteral("Castle.bmp"));
    state.mode = PictureMode::Fixed;
    const PictureSelection s = selector.select(state);
    EXPECT_EQ(s.captions, QStringList{QStringLiteral("Right Mouse Menu, Left Exit ") + state.currentPicture});
    EXPECT_EQ(s.path, state.currentPicture);
    EXPECT_TRUE(s.load);
}

TEST_F(PictureSelectorTest, RandomWithOneFileAlwaysShowsIt)
{
    state.currentPicture = file(QStringLiteral("only.jpg"));
    QDir(folder).mkdir(QStringLiteral("folder.jpg")); // folders never count
    for (int i = 0; i < 3; ++i) {
        selector.setClock([i] { return QTime(1, 2, 3, i * 7); });
        const PictureSelection s = selector.select(state);
        EXPECT_EQ(s.captions.value(0), QStringLiteral("only.jpg 1/1 Files "));
        EXPECT_EQ(s.path, shownFolder() + QStringLiteral("only.jpg"));
        EXPECT_TRUE(s.load);
    }
    EXPECT_EQ(state.currentPicture, folder + QStringLiteral("/only.jpg")); // never moves
    EXPECT_EQ(state.fileMask, QStringLiteral("*.JPG"));
}

TEST_F(PictureSelectorTest, RandomWithAFixedSeedPicksByTheListingOrder)
{
    for (const char *name : {"a.JPG", "B.jpg", "c.jpg", "D.JPG", "e.gif"})
        file(QString::fromLatin1(name));
    state.currentPicture = folder + QStringLiteral("/c.jpg");
    // Seed 0: the first draw below 4 is floor(1 * 4 / 2^32) = 0, so p = 1.
    PictureSelection s = selector.select(state);
    EXPECT_EQ(s.captions, (QStringList{QStringLiteral("a.JPG 1/4 Files "),
                                       QStringLiteral("Right Mouse Menu, Left Exits ") + shownFolder() + "a.JPG"}));
    // 12:34:56.789 seeds 45296789; the next state is 45296789 * 134775813 + 1 mod 2^32.
    selector.setClock([] { return QTime(12, 34, 56, 789); });
    const std::uint32_t next = 45296789u * 134775813u + 1u;
    const int p = 1 + int((std::uint64_t(next) * 4) >> 32);
    const QStringList order{"a.JPG", "B.jpg", "c.jpg", "D.JPG"};
    s = selector.select(state);
    EXPECT_EQ(s.captions.value(0), QStringLiteral("%1 %2/4 Files ").arg(order[p - 1]).arg(p));
    EXPECT_EQ(s.path, shownFolder() + order[p - 1]);
}

TEST_F(PictureSelectorTest, RandomWithNoFileOfTheTypeReportsIt)
{
    state.currentPicture = file(QStringLiteral("x.pcx"));
    QFile::remove(state.currentPicture);
    file(QStringLiteral("y.bmp"));
    state.currentPicture = file(QStringLiteral("z.PCX"));
    QFile::rename(state.currentPicture, folder + QStringLiteral("/z.pcx.bak"));
    state.currentPicture = folder + QStringLiteral("/z.pcx.bak");
    // The extension ".BAK" keeps the previous mask, *.BMP: y.bmp is found.
    PictureSelection s = selector.select(state);
    EXPECT_EQ(s.captions.value(0), QStringLiteral("y.bmp 1/1 Files "));

    state.fileMask = QStringLiteral("*.GIF");
    s = selector.select(state);
    EXPECT_EQ(s.captions, QStringList{QStringLiteral(" 1/0 Files ")});
    EXPECT_EQ(s.message, QStringLiteral("File Error unable to display the Pic "));
    EXPECT_FALSE(s.load);
}

TEST_F(PictureSelectorTest, SequentialWalksAndWrapsWithTheFolderAsOnDisk)
{
    for (const char *name : {"Alpha.bmp", "beta.BMP", "Gamma.bmp"})
        file(QString::fromLatin1(name));
    state.mode = PictureMode::Sequential;
    state.currentPicture = folder + QStringLiteral("/ALPHA.BMP"); // any letter case
    PictureSelection s = selector.select(state);
    EXPECT_EQ(state.currentPicture, shownFolder() + QStringLiteral("beta.BMP"));
    EXPECT_EQ(s.path, state.currentPicture);
    EXPECT_TRUE(s.show);
    EXPECT_EQ(s.captions, QStringList{QStringLiteral("Right Mouse Menu, Left Exits ") + state.currentPicture});
    selector.select(state);
    EXPECT_EQ(state.currentPicture, shownFolder() + QStringLiteral("Gamma.bmp"));
    selector.select(state);
    EXPECT_EQ(state.currentPicture, shownFolder() + QStringLiteral("Alpha.bmp")); // wrapped
}

TEST_F(PictureSelectorTest, NamesThatDifferOnlyInCaseAreEachShownAndNeverTradedForASibling)
{
    // A sibling folder spelt like this one but for case holds other pictures.
    const qsizetype cut = folder.lastIndexOf(u'/') + 1;
    const QString sibling = folder.left(cut) + folder.mid(cut).toUpper();
    ASSERT_TRUE(QDir().mkpath(sibling));
    QFile(sibling + QStringLiteral("/OTHER.GIF")).open(QIODevice::WriteOnly);
    const QString upper = file(QStringLiteral("OUT3.GIF"));
    const QString lower = file(QStringLiteral("out3.gif"));
    state.mode = PictureMode::Sequential;
    state.currentPicture = upper;
    QStringList shown;
    for (int step = 0; step < 4; ++step)
        shown << selector.select(state).path;
    EXPECT_EQ(shown, (QStringList{lower, upper, lower, upper}));

    state.mode = PictureMode::Random;
    const PictureSelection s = selector.select(state);
    EXPECT_TRUE(s.path == upper || s.path == lower) << s.path.toStdString();
}

TEST_F(PictureSelectorTest, SequentialWithOnlyTheRememberedFileShowsItAgain)
{
    state.mode = PictureMode::Sequential;
    state.currentPicture = file(QStringLiteral("solo.gif"));
    selector.select(state);
    EXPECT_EQ(state.currentPicture, shownFolder() + QStringLiteral("solo.gif"));
    EXPECT_EQ(state.fileMask, QStringLiteral("*.GIF"));
}

TEST_F(PictureSelectorTest, SequentialFromAnUnknownTypeStartsAtTheFirstOfThePreviousMask)
{
    file(QStringLiteral("b.jpg"));
    file(QStringLiteral("a.jpg"));
    state.mode = PictureMode::Sequential;
    state.fileMask = QStringLiteral("*.JPG");
    state.currentPicture = file(QStringLiteral("scan.tif"));
    selector.select(state);
    EXPECT_EQ(state.currentExt, QStringLiteral(".TIF"));
    EXPECT_EQ(state.fileMask, QStringLiteral("*.JPG"));
    EXPECT_EQ(state.currentPicture, shownFolder() + QStringLiteral("a.jpg"));
}

TEST_F(PictureSelectorTest, SequentialWithNoMatchTakesTheFolderItself)
{
    state.mode = PictureMode::Sequential;
    state.fileMask = QStringLiteral("*.PCX");
    state.currentPicture = file(QStringLiteral("scan.tif"));
    const PictureSelection s = selector.select(state);
    EXPECT_EQ(state.currentPicture, shownFolder());
    EXPECT_EQ(s.path, shownFolder());
    // A folder is no picture: the next opening asks for one.
    EXPECT_EQ(selector.select(state).message, QStringLiteral("You will need to first select a picture file"));
}

TEST_F(PictureSelectorTest, PhonePicturesAreBrowsedByTheirOwnType)
{
    state.currentPicture = file(QStringLiteral("a.heic"));
    file(QStringLiteral("b.HEIC"));
    file(QStringLiteral("c.jpg"));
    file(QStringLiteral("d.webp"));
    EXPECT_TRUE(selector.select(state).captions.value(0).endsWith(QStringLiteral("/2 Files ")));
    EXPECT_EQ(state.fileMask, QStringLiteral("*.HEIC"));
    state.mode = PictureMode::Sequential;
    EXPECT_EQ(selector.select(state).path, shownFolder() + QStringLiteral("b.HEIC"));
    state.currentPicture = file(QStringLiteral("e.avif"));
    EXPECT_EQ(selector.select(state).path, shownFolder() + QStringLiteral("e.avif"));
    EXPECT_EQ(state.fileMask, QStringLiteral("*.AVIF"));
}

TEST(PictureSelectorRules, UpperCaseMaskAndModeCodes)
{
    EXPECT_EQ(PictureSelector::upperAscii(QStringLiteral("abz/Äé.jpg")), QStringLiteral("ABZ/Äé.JPG"));
    QString mask = QStringLiteral("*.BMP");
    PictureSelector::applyMaskRule(QStringLiteral(".TIF"), mask);
    EXPECT_EQ(mask, QStringLiteral("*.BMP"));
    PictureSelector::applyMaskRule(QStringLiteral(".PCX"), mask);
    EXPECT_EQ(mask, QStringLiteral("*.PCX"));
    PictureMode mode = PictureMode::Random;
    EXPECT_FALSE(PictureSelector::modeFromCode(7, mode));
    EXPECT_FALSE(PictureSelector::modeFromCode(-1, mode));
    EXPECT_EQ(mode, PictureMode::Random);
    EXPECT_TRUE(PictureSelector::modeFromCode(3, mode));
    EXPECT_EQ(mode, PictureMode::Sequential);
}
