#include "thumbs/TThumbForm.h"
#include "thumbs/TThumbDialog.h"

#include "imaging/CodecBridge.h"
#include "imaging/codec/ColourSpace.h"
#include "platform/FileLock.h"
#include "platform/ScriptedDialogService.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestEnvironment.h"
#include "thumbs/DirectoryListBox.h"
#include "thumbs/DriveComboBox.h"
#include "thumbs/FileListBox.h"
#include "thumbs/PreviewStore.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDragMoveEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <lcms2.h>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace brisvale {
namespace {

using Kind = platform::ScriptedDialogService::Kind;

QString makeFolder(const QString &name, int pictures, bool real = true)
{
    const QString dir = test::freshFolder(name);
    QImage image(80, 60, QImage::Format_RGB32);
    for (int i = 0; i < pictures; ++i) {
        image.fill(qRgb(20 + 9 * i, 200 - 5 * i, 90));
        const QString path = dir + QStringLiteral("/Pic%1.BMP").arg(i, 2, 10, QChar(u'0'));
        if (real) {
            Bitmap bitmap;
            bitmap.setImage(image);
            EXPECT_TRUE(WriteBMPFile(path, 24, bitmap, CodecProgress()));
        } else {
            QFile f(path);
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        }
    }
    return dir;
}

int previewFiles(const QString &dir)
{
    return int(QDir(dir).entryList({QStringLiteral("*.THB"), QStringLiteral("*.THJ")}, QDir::Files).size());
}

class ThumbFormTest : public ::testing::Test {
protected:
    void SetUp() override { platform::setDialogService(&dialogs); }
    void TearDown() override { platform::setDialogService(nullptr); }

    // A window on the folder, opened as Execute opens it, with the previews in
    // the folder and the data file in `dataDir` (the folder when empty).
    std::unique_ptr<TThumbForm> open(const QString &folder, const QString &dataDir = QString())
    {
        auto form = std::make_unique<TThumbForm>();
        form->DirectoryListBox1->setDirectory(folder);
        form->DataFileName = QStringLiteral("thumbs.dat");
        form->DataFileDir = dataDir.isEmpty() ? folder : dataDir;
        form->PreviewsDir = folder;
        form->show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return form->isOpened(); }));
        return form;
    }

    QPoint cellCentre(TThumbForm &form, int column, int row)
    {
        return form.Thumbs->visualRect(form.grid().index(row, column)).center();
    }

    // A drag from the file list, moved over a cell and dropped there.
    bool drop(TThumbForm &form, int column, int row)
    {
        std::unique_ptr<QMimeData> data(form.FileListBox1->dragData());
        const QPoint at = cellCentre(form, column, row);
        QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.Thumbs->viewport(), &enter);
        QDragMoveEvent move(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.Thumbs->viewport(), &move);
        if (!move.isAccepted())
            return false;
        QDropEvent dropEvent(QPointF(at), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.Thumbs->viewport(), &dropEvent);
        return dropEvent.isAccepted();
    }

    // The window's Create (keep old previews), on the files its mask lists,
    // and mkpreviews on the folder make the same files, byte for byte.
    void expectToolMakesWhatTheWindowMakes(const QString &dir, const QString &mask, int files)
    {
        const QStringList pictures = QDir(dir).entryList(QDir::Files);
        const auto made = [&] {
            QMap<QString, QByteArray> out;
            for (const QString &name : QDir(dir).entryList(QDir::Files))
                if (!pictures.contains(name)) {
                    QFile f(dir + u'/' + name);
                    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
                    out.insert(name, f.readAll());
                    f.close();
                    f.remove();
                }
            return out;
        };
        {
            auto form = open(dir);
            if (!mask.isEmpty()) {
                form->ComboBox1->setCurrentText(mask);
                form->ComboBox1Change();
            }
            dialogs.queueConfirm(true);
            form->CreateNewKeep->click();
            ASSERT_EQ(form->Label2->text(), QStringLiteral("Done"));
        }
        const QMap<QString, QByteArray> fromWindow = made();
        ASSERT_EQ(fromWindow.size(), files) << fromWindow.keys().join(u' ').toStdString();

        QProcess tool;
        tool.start(QStringLiteral(MKPREVIEWS), {dir});
        ASSERT_TRUE(tool.waitForFinished(60000));
        ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().constData();
        const QMap<QString, QByteArray> fromTool = made();
        EXPECT_EQ(fromTool.keys(), fromWindow.keys());
        for (const QString &name : fromWindow.keys())
            EXPECT_TRUE(fromTool.value(name) == fromWindow.value(name)) << name.toStdString();
    }

    void dropOnBin(TThumbForm &form)
    {
        std::unique_ptr<QMimeData> data(form.FileListBox1->dragData());
        const QPoint at = form.Image1->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.Image1, &enter);
        QDropEvent dropEvent(QPointF(at), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.Image1, &dropEvent);
    }

    QStringList captions(TThumbForm &form)
    {
        QStringList out;
        for (const ThumbSlot &slot : form.grid().takenSlots())
            out << form.grid().caption(slot);
        return out;
    }

    platform::ScriptedDialogService dialogs;
};

TEST_F(ThumbFormTest, RowCountFollowsOnlyLargerFolders)
{
    auto form = open(makeFolder(QStringLiteral("rows25"), 25, false));
    EXPECT_EQ(form->grid().rowCount(), 10);
    for (const auto &[files, rows] : {std::pair{27, 12}, std::pair{30, 13}, std::pair{40, 17}, std::pair{3, 17}}) {
        form->DirectoryListBox1->setDirectory(makeFolder(QStringLiteral("rows"), files, false));
        EXPECT_EQ(form->grid().rowCount(), rows) << files;
        // The last row is an image row exactly when the count is odd.
        EXPECT_EQ(form->Thumbs->rowHeight(rows - 1), form->Thumbs->rowHeight(rows % 2 ? 0 : 1));
        EXPECT_GT(form->Thumbs->rowHeight(0), 3 * form->Thumbs->rowHeight(1));
    }
    // The window follows its folder with the process's current folder.
    EXPECT_EQ(QDir::currentPath() + u'/', form->listedFolder());
    // A window of fixed size: a close box, no minimise or maximise.
    EXPECT_FALSE(form->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(form->windowFlags().testFlags(Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint));
    // Centred itself, whatever frame the window manager puts round it (a
    // centre rounds down, so up to a pixel off each way).
    const QPoint off = form->geometry().center() - form->screen()->availableGeometry().center();
    EXPECT_LE(std::abs(off.x()), 1);
    EXPECT_LE(std::abs(off.y()), 1);
}

TEST_F(ThumbFormTest, CreateFillsEveryFreeSlotAndKeepingMakesNothingNew)
{
    const QString dir = makeFolder(QStringLiteral("batch26"), 26);
    auto form = open(dir);
    // The test display has more than 16 bits a pixel.
    EXPECT_TRUE(form->GPall->isHidden());
    EXPECT_TRUE(form->SaveResAuto->isChecked());
    dialogs.queueConfirm(true);
    form->CreateNewKeep->click();
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Create new previews keep old ones?")});
    const QStringList made = captions(*form);
    ASSERT_EQ(made.size(), 25);
    EXPECT_EQ(made.first(), QStringLiteral("pic00.bmp"));
    EXPECT_FALSE(made.contains(QStringLiteral("pic25.bmp")));
    EXPECT_EQ(previewFiles(dir), 25);
    EXPECT_EQ(form->Label2->text(), QStringLiteral("Done"));
    EXPECT_TRUE(form->StopBtn->isHidden());
    EXPECT_GE(form->store().ImageIndexOf(QStringLiteral("pic24.bmp")), 0);

    // A fresh window keeps what is stored: loads it, makes nothing.
    form.reset();
    auto again = open(dir);
    QDir(dir).remove(QStringLiteral("Pic25.BMP"));
    again->FileListBox1->refresh();
    const QDateTime before = QFileInfo(dir + QStringLiteral("/pic00.THB")).lastModified();
    dialogs.queueConfirm(true);
    again->CreateNewKeep->click();
    EXPECT_EQ(captions(*again).size(), 25);
    EXPECT_EQ(previewFiles(dir), 25);
    EXPECT_EQ(QFileInfo(dir + QStringLiteral("/pic00.THB")).lastModified(), before);
}

TEST_F(ThumbFormTest, DropsTakeFreeSlotsOnlyAndRefuseDuplicates)
{
    const QString dir = makeFolder(QStringLiteral("drops"), 3);
    auto form = open(dir);
    ASSERT_TRUE(form->FileListBox1->selectFile(QStringLiteral("Pic01.BMP")));

    // The caption cell of slot (2, row 2/3) takes it like its image cell would.
    ASSERT_TRUE(drop(*form, 2, 3));
    EXPECT_EQ(form->grid().caption({2, 3}), QStringLiteral("pic01.bmp"));
    EXPECT_EQ(form->Label2->text(), QStringLiteral("Done"));
    EXPECT_EQ(previewFiles(dir), 1);
    // A taken slot refuses the drag, image cell or caption cell.
    form->FileListBox1->selectFile(QStringLiteral("Pic02.BMP"));
    EXPECT_FALSE(drop(*form, 2, 2));
    EXPECT_FALSE(drop(*form, 2, 3));
    ASSERT_TRUE(drop(*form, 4, 2));
    EXPECT_EQ(form->grid().caption({4, 3}), QStringLiteral("pic02.bmp"));

    // The same picture again: the message, and nothing else changes.
    dialogs.clear();
    form->FileListBox1->selectFile(QStringLiteral("Pic01.BMP"));
    EXPECT_TRUE(drop(*form, 0, 0));
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Duplicate filename!")});
    EXPECT_EQ(dialogs.entries().front().kind, Kind::Information);
    EXPECT_TRUE(form->grid().caption({0, 1}).isEmpty());
    EXPECT_EQ(previewFiles(dir), 2);

    // The right button on a taken slot deletes its preview after the question.
    dialogs.clear();
    QTest::mouseClick(form->Thumbs->viewport(), Qt::RightButton, {}, cellCentre(*form, 4, 2));
    EXPECT_EQ(form->grid().caption({4, 3}), QStringLiteral("pic02.bmp"));
    dialogs.queueConfirm(true);
    QTest::mouseClick(form->Thumbs->viewport(), Qt::RightButton, {}, cellCentre(*form, 4, 3));
    EXPECT_EQ(dialogs.texts(), QStringList(2, QStringLiteral("Delete preview of pic02.bmp?")));
    EXPECT_TRUE(form->grid().caption({4, 3}).isEmpty());
    EXPECT_EQ(previewFiles(dir), 1);

    // Only the window's own file list may be dropped.
    FileListBox stranger;
    stranger.setDirectory(dir);
    stranger.selectFile(QStringLiteral("Pic00.BMP"));
    std::unique_ptr<QMimeData> data(stranger.dragData());
    EXPECT_FALSE(form->ThumbsDragOver(cellCentre(*form, 0, 0), data.get()));
}

TEST_F(ThumbFormTest, GridClickEndsARunningBatchAndBatchesReenableLoad)
{
    const QString dir = makeFolder(QStringLiteral("cancel"), 12);
    {
        auto form = open(dir);
        dialogs.queueConfirm(true);
        form->CreateNewDelete->click();
        ASSERT_EQ(captions(*form).size(), 12);
    }
    auto form = open(dir);
    form->AutoLoad->setChecked(true);
    EXPECT_FALSE(form->LoadBtn->isEnabled());

    bool stopShown = false;
    QTimer::singleShot(0, form.get(), [&] {
        stopShown = form->StopBtn->isVisible() && !form->CloseBtn->isEnabled();
        QTest::mouseClick(form->Thumbs->viewport(), Qt::LeftButton, {}, cellCentre(*form, 1, 1));
    });
    // Choosing the folder again runs the autoload batch.
    form->DirectoryListBox1->setDirectory(makeFolder(QStringLiteral("empty"), 0));
    form->DirectoryListBox1->setDirectory(dir);
    EXPECT_TRUE(stopShown);
    EXPECT_EQ(form->Label2->text(), QStringLiteral("Canceled"));
    EXPECT_LT(captions(*form).size(), 12);
    EXPECT_TRUE(form->LoadBtn->isEnabled());
    EXPECT_TRUE(form->CloseBtn->isEnabled());
    EXPECT_TRUE(form->StopBtn->isHidden());

    // Clear, then the Load button: everything stored comes back.
    form->ClearAllBtn->click();
    EXPECT_TRUE(captions(*form).isEmpty());
    form->LoadBtn->click();
    EXPECT_EQ(captions(*form).size(), 12);
    EXPECT_EQ(form->Label2->text(), QStringLiteral("Done"));
}

TEST_F(ThumbFormTest, DataFileThatCannotBeWrittenIsReportedOnceAndEndsTheBatch)
{
    const QString dir = makeFolder(QStringLiteral("unwritable"), 4);
    auto form = open(dir, dir + QStringLiteral("/missing"));
    dialogs.queueConfirm(true);
    form->CreateNewDelete->click();
    const QString dataFile = dir + QStringLiteral("/missing/thumbs.dat");
    EXPECT_EQ(dialogs.texts(), (QStringList{QStringLiteral("Create new previews and delete old ones?"),
                                            QStringLiteral("Unable to write to ") + dataFile}));
    EXPECT_EQ(dialogs.entries().back().kind, Kind::Error);
    EXPECT_EQ(form->Label2->text(), QStringLiteral("Canceled"));
    EXPECT_TRUE(form->CloseBtn->isEnabled());
    EXPECT_TRUE(form->StopBtn->isHidden());
}

// Another program holds the data file's lock: Stop, pressed while the batch
// waits for it, ends the wait at once, and the window goes on working.
TEST_F(ThumbFormTest, StopEndsAWaitForALockAnotherProgramHolds)
{
    const QString dir = makeFolder(QStringLiteral("locked"), 4);
    auto form = open(dir);
    const int lock = ::open(QFile::encodeName(dir + QStringLiteral("/.thumbs.dat.lock")).constData(),
                            O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    QElapsedTimer sinceStop;
    QTimer::singleShot(300, form.get(), [&] {
        EXPECT_TRUE(form->StopBtn->isVisible());
        QTest::mouseClick(form->StopBtn, Qt::LeftButton);
        sinceStop.start();
    });
    dialogs.queueConfirm(true);
    form->CreateNewDelete->click();
    const qint64 afterStop = sinceStop.isValid() ? sinceStop.elapsed() : -1;
    ::close(lock);
    ASSERT_GE(afterStop, 0) << "the batch ended before Stop was pressed";
    // Well before the wait would have ended by itself.
    EXPECT_LT(afterStop, platform::FileLock::kWaitMs / 2);
    EXPECT_EQ(form->Label2->text(), QStringLiteral("Canceled"));
    EXPECT_EQ(dialogs.texts(),
              (QStringList{QStringLiteral("Create new previews and delete old ones?"),
                           QStringLiteral("Unable to write to ") + dir + QStringLiteral("/thumbs.dat")}));
    EXPECT_TRUE(form->CloseBtn->isEnabled());
    EXPECT_TRUE(form->StopBtn->isHidden());

    // The lock given up, the same window makes every preview; the focus the
    // batch took for its working box comes back to the button.
    dialogs.clear();
    dialogs.queueConfirm(true);
    QApplication::setActiveWindow(form.get());
    form->CreateNewDelete->setFocus();
    QTest::keyClick(form->CreateNewDelete, Qt::Key_Space);
    EXPECT_EQ(captions(*form).size(), 4);
    EXPECT_EQ(form->Label2->text(), QStringLiteral("Done"));
    EXPECT_TRUE(form->CreateNewDelete->hasFocus());
}

TEST_F(ThumbFormTest, ExecuteChecksSettingsAndCloseEmptiesTheFile)
{
    TThumbDialog dialog;
    dialog.DataFileName.clear();
    dialog.PreviewsDir.clear();
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("No DataFileName!")});
    EXPECT_EQ(dialogs.entries().front().kind, Kind::Error);

    const QString dir = makeFolder(QStringLiteral("execute"), 2);
    dialog.DataFileName = QStringLiteral("thumbs.dat");
    dialog.PreviewsDir = dir;
    dialog.DataFileDir = dir;
    dialog.InitialDir = dir;
    bool stayedOpen = false;
    QTimer::singleShot(0, [&] {
        auto *form = qobject_cast<TThumbForm *>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->isOpened(); }));
        // A double click on a free slot chooses nothing.
        const QPoint free = form->Thumbs->visualRect(form->grid().index(0, 0)).center();
        QTest::mouseMove(form->Thumbs->viewport(), free);
        form->ThumbsMouseMove(free);
        EXPECT_EQ(form->Label1->text(), form->listedFolder().toLower());
        QTest::mouseDClick(form->Thumbs->viewport(), Qt::LeftButton, {}, free);
        QCoreApplication::processEvents();
        stayedOpen = form->isVisible();
        form->CloseBtn->click();
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(dialog.FileName().isEmpty());

    // Choosing from the file list closes with OK and hands the path back.
    QTimer::singleShot(0, [&] {
        auto *form = qobject_cast<TThumbForm *>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->isOpened(); }));
        form->FileListBox1->selectFile(QStringLiteral("Pic01.BMP"));
        QTest::keyClick(form->FileListBox1, Qt::Key_Return);
    });
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), dir + QStringLiteral("/Pic01.BMP"));
}

TEST_F(ThumbFormTest, TabLeavesThePreviewsBothWays)
{
    auto form = open(makeFolder(QStringLiteral("tabs"), 2));
    QApplication::setActiveWindow(form.get());
    for (Qt::KeyboardModifiers mods : {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
        form->Thumbs->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(form->Thumbs->hasFocus());
        QTest::keyClick(form->Thumbs, mods ? Qt::Key_Backtab : Qt::Key_Tab, mods);
        EXPECT_FALSE(form->Thumbs->hasFocus());
    }

    // The arrows go from preview to preview, each told once by its name; the
    // columns have no numbers for a reader to read.
    dialogs.queueConfirm(true);
    form->CreateNewDelete->click();
    form->Thumbs->setFocus();
    form->Thumbs->setCurrentIndex(form->grid().index(0, 0));
    QTest::keyClick(form->Thumbs, Qt::Key_Down);
    EXPECT_EQ(form->Thumbs->currentIndex(), form->grid().index(2, 0));
    QTest::keyClick(form->Thumbs, Qt::Key_Up);
    EXPECT_EQ(form->Thumbs->currentIndex(), form->grid().index(0, 0));
    QTest::keyClick(form->Thumbs, Qt::Key_Right);
    QAccessibleInterface *cell = QAccessible::queryAccessibleInterface(form->Thumbs)->tableInterface()->cellAt(0, 1);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->text(QAccessible::Name), QStringLiteral("pic01.bmp"));
    for (QAccessibleInterface *header : cell->tableCellInterface()->columnHeaderCells())
        EXPECT_EQ(header->text(QAccessible::Name), QString());

    // The lists that pick one of several are named by their value on this
    // desktop; a reader tells what they are for by the label they have.
    for (const auto &[list, name] : {std::pair<QWidget *, QString>{form->ComboBox1, QStringLiteral("File type")},
                                     {form->DriveComboBox1, QStringLiteral("Drive")}}) {
        const auto labels = QAccessible::queryAccessibleInterface(list)->relations(QAccessible::Label);
        ASSERT_EQ(labels.size(), 1);
        EXPECT_EQ(labels.front().first->text(QAccessible::Name), name);
    }
}

TEST_F(ThumbFormTest, BinMovesThePictureToTheTrashAndForgetsItsPreview)
{
    const QString trashHome = test::freshFolder(QStringLiteral("data-home"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(trashHome));
    const QString dir = makeFolder(QStringLiteral("bin"), 3);
    auto form = open(dir);
    form->FileListBox1->selectFile(QStringLiteral("Pic00.BMP"));
    ASSERT_TRUE(drop(*form, 0, 0));
    ASSERT_EQ(previewFiles(dir), 1);

    // No: nothing happens.
    dialogs.clear();
    dropOnBin(*form);
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Delete File?")});
    EXPECT_TRUE(QFile::exists(dir + QStringLiteral("/Pic00.BMP")));

    dialogs.clear();
    dialogs.queueConfirm(true);
    dropOnBin(*form);
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Delete File?")});
    EXPECT_FALSE(QFile::exists(dir + QStringLiteral("/Pic00.BMP")));
    EXPECT_TRUE(QFile::exists(trashHome + QStringLiteral("/Trash/files/Pic00.BMP")));
    EXPECT_EQ(form->FileListBox1->fileNames(), (QStringList{QStringLiteral("Pic01.BMP"), QStringLiteral("Pic02.BMP")}));
    EXPECT_TRUE(form->grid().caption({0, 1}).isEmpty());
    EXPECT_EQ(previewFiles(dir), 0);

    // Delete on the file list is the keyboard's way to the bin: the same question.
    dialogs.clear();
    dialogs.queueConfirm(true);
    form->FileListBox1->selectFile(QStringLiteral("Pic01.BMP"));
    QTest::keyClick(form->FileListBox1, Qt::Key_Delete);
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Delete File?")});
    EXPECT_TRUE(QFile::exists(trashHome + QStringLiteral("/Trash/files/Pic01.BMP")));
    EXPECT_EQ(form->FileListBox1->fileNames(), QStringList{QStringLiteral("Pic02.BMP")});

    // A trash that is a link cannot take the picture: the player is asked
    // first, and No leaves the picture, preview and all.
    const QString elsewhere = test::freshFolder(QStringLiteral("elsewhere"));
    const QString linkedHome = test::freshFolder(QStringLiteral("linked-home"));
    ASSERT_TRUE(QFile::link(elsewhere, linkedHome + QStringLiteral("/Trash")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(linkedHome));
    form->FileListBox1->selectFile(QStringLiteral("Pic02.BMP"));
    ASSERT_TRUE(drop(*form, 0, 0));
    const QString refused = QStringLiteral("Pic02.BMP cannot be moved to the trash. Delete it for good?");
    dialogs.clear();
    dialogs.queueConfirm(true);
    dropOnBin(*form);
    EXPECT_EQ(dialogs.texts(), (QStringList{QStringLiteral("Delete File?"), refused}));
    EXPECT_TRUE(QFile::exists(dir + QStringLiteral("/Pic02.BMP")));
    EXPECT_EQ(previewFiles(dir), 1);
    dialogs.clear();
    dialogs.queueConfirm(true);
    dialogs.queueConfirm(true);
    dropOnBin(*form);
    EXPECT_EQ(dialogs.texts(), (QStringList{QStringLiteral("Delete File?"), refused}));
    EXPECT_FALSE(QFile::exists(dir + QStringLiteral("/Pic02.BMP")));
    EXPECT_EQ(previewFiles(dir), 0);
    EXPECT_TRUE(QDir(elsewhere).isEmpty());
    qunsetenv("XDG_DATA_HOME");
}

TEST_F(ThumbFormTest, BatchCreateInTheWindowMakesWhatTheCommandLineToolMakes)
{
    const QString dir = test::freshFolder(QStringLiteral("toolvsform"));
    QImage image(900, 700, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 255 / 900, y * 255 / 700, (x ^ y) & 255));
    Bitmap bitmap;
    bitmap.setImage(image);
    ASSERT_TRUE(WriteJPGFile(dir + QStringLiteral("/beach.jpg"), 80, 0, 24, bitmap, CodecProgress()));
    ASSERT_TRUE(WriteGIFFile(dir + QStringLiteral("/Beach.GIF"), 8, bitmap, CodecProgress()));
    ASSERT_TRUE(WritePCXFile(dir + QStringLiteral("/wide.pcx"), 24, bitmap, CodecProgress()));
    ASSERT_TRUE(WriteBMPFile(dir + QStringLiteral("/Tall.bmp"), 24, bitmap, CodecProgress()));
    expectToolMakesWhatTheWindowMakes(dir, QString(), 5);
}

TEST_F(ThumbFormTest, PhonePicturesGetTheSamePreviewsFromTheToolAsInTheWindow)
{
    const QString dir = test::freshFolder(QStringLiteral("phonetool"));
    const QString fixtures = QString::fromLocal8Bit(qgetenv("BRISVALE_CODEC_FIXTURES"));
    for (const char *name : {"webp_exif6.webp", "avif_8bit.avif", "heic_alpha.heic"})
        ASSERT_TRUE(QFile::copy(fixtures + u'/' + QLatin1String(name), dir + u'/' + QLatin1String(name))) << name;
    expectToolMakesWhatTheWindowMakes(dir, QStringLiteral("*.WEBP;*.AVIF;*.HEIC;*.HEIF"), 4);
}

TEST_F(ThumbFormTest, TheGridPaintsTheStoredPreviewsInTheScreensColours)
{
    const QString dir = makeFolder(QStringLiteral("screencolours"), 1); // green 200, red 20
    auto form = open(dir);
    dialogs.queueConfirm(true);
    form->CreateNewKeep->click();
    ASSERT_EQ(form->grid().takenSlots().size(), 1u);
    const ThumbSlot slot = form->grid().takenSlots().front();
    const QPoint at = form->Thumbs->visualRect(form->grid().index(slot.imageRow(), slot.column)).topLeft()
                      + QPoint(20, 20);
    auto painted = [&] { return form->Thumbs->viewport()->grab().toImage().pixel(at); };
    EXPECT_LE(std::abs(qGreen(painted()) - 200), 3);

    // A screen whose red and green trade places: the sRGB preview is painted
    // in its numbers, as the picture window paints.
    const cmsCIExyY d65{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE swapped{{0.30, 0.60, 1.0}, {0.64, 0.33, 1.0}, {0.15, 0.06, 1.0}};
    cmsToneCurve *curve = cmsBuildGamma(nullptr, 2.2);
    cmsToneCurve *curves[3] = {curve, curve, curve};
    cmsHPROFILE screen = cmsCreateRGBProfile(&d65, &swapped, curves);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(screen, nullptr, &size);
    std::vector<uint8_t> bytes(size);
    cmsSaveProfileToMem(screen, bytes.data(), &size);
    cmsCloseProfile(screen);
    cmsFreeToneCurve(curve);
    codec::setScreenProfile(bytes.data(), bytes.size());
    const QRgb onScreen = painted();
    codec::setScreenProfile(nullptr, 0);
    EXPECT_GT(qRed(onScreen), 150);
    EXPECT_LT(qGreen(onScreen), 100);
}

} // namespace
} // namespace brisvale
