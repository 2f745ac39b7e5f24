#include "platform/PrivateProfile.h"
#include "platform/FolderHandle.h"
#include "platform/ProfileDocument.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace brisvale::platform;

namespace {

class PrivateProfileTest : public ::testing::Test {
protected:
    void SetUp() override { dir = brisvale::test::freshFolder(QStringLiteral("ini")); }
    QString file() const { return dir + QStringLiteral("/thumbs.dat"); }
    QString dir;
};

} // namespace

TEST(ProfileDocumentTest, SectionsAndKeysMatchWithoutRegardToCaseAndOtherLinesStay)
{
    const QByteArray text = "; made by hand\r\n[X:\\PICS\\]\r\nx:\\pics\\beach.jpg = \"x:\\pics\\beach.thb\"\r\n"
                            "junk line\r\n\r\n[Other]\r\nk=v\r\n";
    ProfileDocument doc = ProfileDocument::parse(text);
    EXPECT_EQ(doc.value(QStringLiteral("x:\\pics\\"), QStringLiteral("X:\\PICS\\BEACH.JPG")),
              QStringLiteral("x:\\pics\\beach.thb"));
    EXPECT_FALSE(doc.value(QStringLiteral("x:\\pics\\"), QStringLiteral("k")).has_value());
    EXPECT_EQ(doc.serialize(), text);

    EXPECT_TRUE(doc.setValue(QStringLiteral("x:\\PICS\\"), QStringLiteral("a=b.jpg"), QStringLiteral("a.thb")));
    EXPECT_TRUE(doc.setValue(QStringLiteral("OTHER"), QStringLiteral("K"), QString()));
    EXPECT_TRUE(doc.setValue(QStringLiteral("New"), QStringLiteral("n"), QStringLiteral("1")));
    EXPECT_EQ(doc.value(QStringLiteral("x:\\pics\\"), QStringLiteral("A=B.JPG")), QStringLiteral("a.thb"));
    EXPECT_EQ(doc.value(QStringLiteral("other"), QStringLiteral("k")), QString());
    EXPECT_EQ(doc.serialize(), "; made by hand\r\n[X:\\PICS\\]\r\nx:\\pics\\beach.jpg = \"x:\\pics\\beach.thb\"\r\n"
                               "junk line\r\na=b.jpg=a.thb\r\n\r\n[Other]\r\nK=\r\n[New]\r\nn=1\r\n");

    EXPECT_TRUE(doc.removeKey(QStringLiteral("x:\\pics\\"), QStringLiteral("X:\\pics\\beach.jpg")));
    EXPECT_FALSE(doc.removeKey(QStringLiteral("x:\\pics\\"), QStringLiteral("X:\\pics\\beach.jpg")));
    EXPECT_FALSE(doc.value(QStringLiteral("x:\\pics\\"), QStringLiteral("x:\\pics\\beach.jpg")).has_value());
}

TEST_F(PrivateProfileTest, MissingFileReadsEmptyAndFirstWriteCreatesIt)
{
    EXPECT_EQ(ReadProfileString(file(), QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("dflt")),
              QStringLiteral("dflt"));
    // Deleting from a missing file makes none.
    WriteProfileString(file(), QStringLiteral("S"), QStringLiteral("k"), std::nullopt);
    EXPECT_FALSE(QFile::exists(file()));

    WriteProfileString(file(), QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_EQ(brisvale::test::fileContents(file()), "[S]\nk=v\n");
    EXPECT_EQ(ReadProfileString(dir + QStringLiteral("/THUMBS.DAT"), QStringLiteral("s"), QStringLiteral("K"), {}),
              QStringLiteral("v"));
    // Long paths come back whole.
    const QString longPath = QStringLiteral("/deep").repeated(400) + QStringLiteral("/beach.thb");
    WriteProfileString(file(), QStringLiteral("S"), longPath, longPath);
    EXPECT_EQ(ReadProfileString(file(), QStringLiteral("S"), longPath, {}), longPath);
    WriteProfileString(file(), QStringLiteral("S"), longPath, std::nullopt);

    WriteProfileString(file(), QStringLiteral("s"), QStringLiteral("K"), std::nullopt);
    EXPECT_EQ(brisvale::test::fileContents(file()), "[S]\n");
    // Nothing but the file itself and the lock writers share is left in the folder.
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral(".thumbs.dat.lock"), QStringLiteral("thumbs.dat")}));
}

TEST_F(PrivateProfileTest, FailedWriteReportsThePathAndKeepsTheOldFile)
{
    brisvale::test::writeFile(file(), "[S]\nk=old\n");
    // A line break in a name would forge a line of its own.
    EXPECT_THROW(WriteProfileString(file(), QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("a\n[T]")),
                 ProfileWriteError);

    // The temporary file cannot be made: a folder stands where it would go.
    const QString blocked = dir + QStringLiteral("/sub");
    QDir(dir).mkpath(QStringLiteral("sub"));
    brisvale::test::writeFile(blocked + QStringLiteral("/thumbs.dat"), "[S]\nk=old\n");
    QFile::setPermissions(blocked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool privileged = QFile(blocked + QStringLiteral("/probe")).open(QIODevice::WriteOnly);
    const QString target = privileged ? dir + QStringLiteral("/plain/thumbs.dat")
                                      : blocked + QStringLiteral("/thumbs.dat");
    if (privileged) // permissions do not bind this user; a file in place of the folder does
        brisvale::test::writeFile(dir + QStringLiteral("/plain"), "");
    try {
        WriteProfileString(target, QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("new"));
        ADD_FAILURE() << "write succeeded";
    } catch (const ProfileWriteError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Unable to write to ") + target);
    }
    QFile::setPermissions(blocked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(brisvale::test::fileContents(blocked + QStringLiteral("/thumbs.dat")), "[S]\nk=old\n");
    EXPECT_EQ(brisvale::test::fileContents(file()), "[S]\nk=old\n");
}

// Another program swaps the temporary for a link just before it is put in
// place, or the folder itself for a link to another one: nothing outside is
// written, and what took the file's name is taken away again.
TEST_F(PrivateProfileTest, AFileSwappedForALinkBeforeItIsPutInPlaceNeverReachesOutside)
{
    const QString outside = brisvale::test::freshFolder(QStringLiteral("outside"));
    brisvale::test::writeFile(outside + QStringLiteral("/secret"), "keep");
    const auto swapTemporary = [this, &outside] {
        for (const QString &name : QDir(dir).entryList({QStringLiteral(".ini-*")}, QDir::Files | QDir::Hidden)) {
            QFile::remove(dir + u'/' + name);
            QFile::link(outside + QStringLiteral("/secret"), dir + u'/' + name);
        }
    };
    const FolderHandle folder(dir);
    for (const bool replacing : {true, false}) {
        NewFile file = folder.create(".ini-", false);
        ASSERT_TRUE(file.isOpen());
        ASSERT_EQ(::write(file.fd(), "ours", 4), 4);
        swapTemporary();
        EXPECT_FALSE(replacing ? folder.replace(file, QStringLiteral("thumbs.dat"))
                               : folder.link(file, QStringLiteral("a.THB")));
    }
    EXPECT_EQ(brisvale::test::fileContents(outside + QStringLiteral("/secret")), "keep");
    EXPECT_FALSE(QFileInfo::exists(dir + QStringLiteral("/thumbs.dat"))
                 || QFileInfo(dir + QStringLiteral("/thumbs.dat")).isSymLink());
    EXPECT_FALSE(QFileInfo(dir + QStringLiteral("/a.THB")).isSymLink());

    // The folder swapped for a link while held: the file lands in the folder held.
    ASSERT_TRUE(QDir().rename(dir, dir + QStringLiteral(".moved")));
    ASSERT_TRUE(QFile::link(outside, dir));
    NewFile file = folder.create(".thm-", true);
    ASSERT_EQ(::write(file.fd(), "ours", 4), 4);
    EXPECT_TRUE(folder.link(file, QStringLiteral("b.THB")));
    EXPECT_EQ(brisvale::test::fileContents(dir + QStringLiteral(".moved/b.THB")), "ours");
    EXPECT_EQ(QDir(outside).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("secret")});
    QFile::remove(dir);
}
