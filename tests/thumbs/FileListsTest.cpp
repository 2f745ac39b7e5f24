#include "thumbs/DirectoryListBox.h"
#include "thumbs/DriveComboBox.h"
#include "thumbs/FileListBox.h"
#include "thumbs/FilterComboBox.h"

#include "platform/FileSystem.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace brisvale {
namespace {

void touch(const QString &path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

TEST(FileLists, FileListMatchesMasksInAnyCaseAndSortsWithoutCase)
{
    const QString dir = test::freshFolder(QStringLiteral("lists-files"));
    for (const char *name : {"b.jpg", "A.GIF", "c.Png", "notes.txt", "Z.JPG"})
        touch(dir + u'/' + QLatin1String(name));
    QDir(dir).mkdir(QStringLiteral("sub.jpg"));

    FileListBox list;
    list.setMask(QStringLiteral("*.JPG;*.GIF;*.PNG"));
    list.setDirectory(dir);
    EXPECT_EQ(list.fileNames(), (QStringList{"A.GIF", "b.jpg", "c.Png", "Z.JPG"}));

    EXPECT_TRUE(list.fileName().isEmpty());
    ASSERT_TRUE(list.selectFile(QStringLiteral("c.Png")));
    EXPECT_EQ(list.fileName(), dir + QStringLiteral("/c.Png"));
    // Re-reading keeps the selection; narrowing the mask drops it.
    list.refresh();
    EXPECT_EQ(list.fileName(), dir + QStringLiteral("/c.Png"));
    list.setMask(QStringLiteral("*.JPG"));
    EXPECT_EQ(list.fileNames(), (QStringList{"b.jpg", "Z.JPG"}));
    EXPECT_TRUE(list.fileName().isEmpty());

    // A drag names its own list only.
    list.selectFile(QStringLiteral("b.jpg"));
    std::unique_ptr<QMimeData> data(list.dragData());
    FileListBox other;
    EXPECT_TRUE(list.isSourceOf(data.get()));
    EXPECT_FALSE(other.isSourceOf(data.get()));
}

TEST(FileLists, FolderListWalksDownAndUpAndFollowsLetterCase)
{
    const QString dir = test::freshFolder(QStringLiteral("lists-folders"));
    QDir(dir).mkpath(QStringLiteral("Pics/Beach"));
    QDir(dir).mkpath(QStringLiteral("attic"));

    DirectoryListBox folders;
    QSignalSpy changed(&folders, &DirectoryListBox::directoryChanged);
    ASSERT_TRUE(folders.setDirectory(dir));
    EXPECT_EQ(changed.count(), 1);
    // The last two entries are the subfolders, in case-insensitive order.
    ASSERT_GE(folders.count(), 3);
    EXPECT_EQ(folders.folderAt(folders.count() - 2), dir + QStringLiteral("/attic"));
    EXPECT_EQ(folders.folderAt(folders.count() - 1), dir + QStringLiteral("/Pics"));
    EXPECT_EQ(folders.folderAt(0), QStringLiteral("/"));

    emit folders.itemActivated(folders.item(folders.count() - 1));
    EXPECT_EQ(folders.directory(), dir + QStringLiteral("/Pics"));
    EXPECT_TRUE(folders.setDirectory(dir + QStringLiteral("/pics/BEACH")));
    EXPECT_EQ(folders.directory(), dir + QStringLiteral("/Pics/Beach"));
    EXPECT_EQ(changed.count(), 3);

    // The same folder again is no change; a missing one is refused.
    EXPECT_TRUE(folders.setDirectory(dir + QStringLiteral("/Pics/Beach")));
    EXPECT_FALSE(folders.setDirectory(dir + QStringLiteral("/gone")));
    EXPECT_EQ(changed.count(), 3);
    EXPECT_EQ(folders.drive(), DriveComboBox::driveOf(folders.directory(), DriveComboBox::availableDrives()));
}

TEST(FileLists, DrivesAndFilters)
{
    const QStringList drives = DriveComboBox::availableDrives();
    ASSERT_FALSE(drives.isEmpty());
    EXPECT_EQ(drives.first(), QStringLiteral("/"));
    EXPECT_EQ(DriveComboBox::driveOf(QStringLiteral("/media/usb/pics"), {"/", "/media/usb", "/media/u"}),
              QStringLiteral("/media/usb"));
    EXPECT_EQ(DriveComboBox::driveOf(QStringLiteral("/media/usbx"), {"/", "/media/usb"}), QStringLiteral("/"));

    FilterComboBox filter;
    QSignalSpy masks(&filter, &FilterComboBox::maskChanged);
    filter.setFilter(QStringLiteral("All Pixs|*.BMP;*.GIF;|BMP|*.BMP|GIF|*.GIF"));
    EXPECT_EQ(filter.count(), 3);
    EXPECT_EQ(filter.mask(), QStringLiteral("*.BMP;*.GIF;"));
    filter.setCurrentIndex(2);
    EXPECT_EQ(masks.last().first().toString(), QStringLiteral("*.GIF"));
}

} // namespace
} // namespace brisvale
