#include "platform/FileSystem.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace brisvale::platform;

namespace {

void touch(const QString &path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write("x");
}

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override { root = brisvale::test::freshFolder(QStringLiteral("fs")); }
    QString root;
};

} // namespace

TEST_F(FileSystemTest, ResolvesEachComponentWithoutRegardToCase)
{
    QDir(root).mkpath(QStringLiteral("Pictures/Holiday"));
    touch(root + QStringLiteral("/Pictures/Holiday/Beach.JPG"));

    const QString wanted = root + QStringLiteral("/PICTURES/holiday/BEACH.jpg");
    EXPECT_EQ(fs::resolve(wanted), root + QStringLiteral("/Pictures/Holiday/Beach.JPG"));
    EXPECT_TRUE(fs::fileExists(wanted));
    EXPECT_FALSE(fs::directoryExists(wanted));
    EXPECT_TRUE(fs::directoryExists(root + QStringLiteral("/pictures/HOLIDAY")));
    EXPECT_TRUE(fs::exists(root + QStringLiteral("/pictures")));

    // Components that match nothing are kept as written.
    EXPECT_EQ(fs::resolve(root + QStringLiteral("/pictures/Missing/x.bmp")),
              root + QStringLiteral("/Pictures/Missing/x.bmp"));
    EXPECT_FALSE(fs::fileExists(root + QStringLiteral("/pictures/Missing/x.bmp")));
    EXPECT_FALSE(fs::fileExists(QString()));
}

TEST_F(FileSystemTest, ExactNameWinsOverCaseVariants)
{
    touch(root + QStringLiteral("/card.bmp"));
    touch(root + QStringLiteral("/CARD.BMP"));
    EXPECT_EQ(fs::resolve(root + QStringLiteral("/card.bmp")), root + QStringLiteral("/card.bmp"));
    EXPECT_EQ(fs::resolve(root + QStringLiteral("/CARD.BMP")), root + QStringLiteral("/CARD.BMP"));
    // With no exact match, the first variant in listing order is taken.
    EXPECT_EQ(fs::resolve(root + QStringLiteral("/Card.Bmp")), root + QStringLiteral("/CARD.BMP"));
}

TEST_F(FileSystemTest, RelativePathsResolveAgainstTheCurrentDirectory)
{
    touch(root + QStringLiteral("/coins.wav"));
    const QString before = fs::currentDirectory();
    ASSERT_TRUE(fs::setCurrentDirectory(root));
    EXPECT_EQ(fs::resolve(QStringLiteral("coins.Wav")), QStringLiteral("coins.wav"));
    EXPECT_TRUE(fs::fileExists(QStringLiteral("COINS.WAV")));
    EXPECT_TRUE(fs::removeFile(QStringLiteral("Coins.WAV")));
    EXPECT_FALSE(QFile::exists(root + QStringLiteral("/coins.wav")));
    EXPECT_FALSE(fs::removeFile(QStringLiteral("coins.wav")));
    fs::setCurrentDirectory(before);
}

TEST_F(FileSystemTest, ListsMatchingFilesInCaseInsensitiveOrder)
{
    for (const char *name : {"b.JPG", "A.jpg", "c.gif", "D.Gif", "e.bmp", "noext", "a.jpeg"})
        touch(root + u'/' + QString::fromLatin1(name));
    QDir(root).mkdir(QStringLiteral("folder.jpg"));

    EXPECT_EQ(fs::findFiles(root, QStringLiteral("*.JPG;*.gif")), (QStringList{"A.jpg", "b.JPG", "c.gif", "D.Gif"}));
    EXPECT_EQ(fs::findFiles(root, QStringLiteral("*.jpg"), fs::Entries::Directories), (QStringList{"folder.jpg"}));
    EXPECT_EQ(fs::findFiles(root, QStringLiteral("*.jpg"), fs::Entries::All),
              (QStringList{"A.jpg", "b.JPG", "folder.jpg"}));
    EXPECT_EQ(fs::findFiles(root, QStringLiteral("*.*")).size(), 7);
    EXPECT_EQ(fs::findFiles(root, QStringLiteral("?.BMP")), (QStringList{"e.bmp"}));
    EXPECT_TRUE(fs::findFiles(root + QStringLiteral("/nothere"), QStringLiteral("*.*")).isEmpty());
    // The folder itself is found whatever case it is given in.
    EXPECT_EQ(fs::findFiles(root + QStringLiteral("/FOLDER.JPG"), QStringLiteral("*")).size(), 0);
}

TEST(FileSystemMasks, WildcardsWithoutRegardToCase)
{
    EXPECT_TRUE(fs::matchesMask(QStringLiteral("photo.JPG"), QStringLiteral("*.jpg")));
    EXPECT_TRUE(fs::matchesMask(QStringLiteral("noext"), QStringLiteral("*.*")));
    EXPECT_TRUE(fs::matchesMask(QStringLiteral("noext"), QStringLiteral("noext.*")));
    EXPECT_FALSE(fs::matchesMask(QStringLiteral("photo.jpeg"), QStringLiteral("*.jpg")));
    EXPECT_TRUE(fs::matchesMask(QStringLiteral("a1.bmp"), QStringLiteral("a?.BMP")));
    EXPECT_FALSE(fs::matchesMask(QStringLiteral("a12.bmp"), QStringLiteral("a?.BMP")));
    EXPECT_FALSE(fs::matchesMask(QStringLiteral("x"), QString()));
    // A hostile mask must not take exponential time or recurse.
    const QString longName(5000, u'a');
    EXPECT_FALSE(fs::matchesMask(longName, QString(2000, u'*') + QStringLiteral("b")));
}

TEST(FileSystemPaths, Parts)
{
    EXPECT_EQ(fs::folderOf(QStringLiteral("/a/b/c.bmp")), QStringLiteral("/a/b"));
    EXPECT_EQ(fs::folderOf(QStringLiteral("/c.bmp")), QStringLiteral("/"));
    EXPECT_EQ(fs::folderOf(QStringLiteral("c.bmp")), QString());
    EXPECT_EQ(fs::fileNameOf(QStringLiteral("/a/b/c.bmp")), QStringLiteral("c.bmp"));
    EXPECT_EQ(fs::extensionOf(QStringLiteral("/a.d/b")), QString());
    EXPECT_EQ(fs::extensionOf(QStringLiteral("/a/b.tar.GZ")), QStringLiteral(".GZ"));
    EXPECT_EQ(fs::join(QStringLiteral("/a/"), QStringLiteral("b")), QStringLiteral("/a/b"));
    EXPECT_EQ(fs::join(QStringLiteral("/a"), QStringLiteral("b")), QStringLiteral("/a/b"));
}
