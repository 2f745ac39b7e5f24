#include "thumbs/TPictureSaveDialog.h"

#include "imaging/TMediaView.h"
#include "platform/FileSystem.h"
#include "platform/ScriptedDialogService.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestEnvironment.h"
#include "thumbs/DirectoryListBox.h"
#include "thumbs/FileListBox.h"
#include "thumbs/TSaveForm.h"

#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace brisvale;

namespace {

const QString kPictureFilter = QStringLiteral(
    "All Pixs|*.BMP;*.GIF;*.JPG;*.PCX;|BMP|*.BMP|GIF|*.GIF|JPG|*.JPG|PCX|*.PCX");

class SaveDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setDialogService(&script);
        folder = test::freshFolder(QStringLiteral("save"));
        dialog.setInitialDir(folder);
        dialog.setFilter(kPictureFilter);
    }
    void TearDown() override { platform::setDialogService(nullptr); }

    QString picture(const QString &name, QSize size = QSize(16, 12))
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        const QString path = folder + u'/' + name;
        EXPECT_TRUE(image.save(path, "BMP"));
        return path;
    }
    static void select(TSaveForm &form, const QString &name)
    {
        const auto items = form.FileListBox1->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        form.FileListBox1->setCurrentItem(items.first());
    }
    static void type(TSaveForm &form, const QString &text)
    {
        form.Edit1->selectAll();
        QTest::keyClicks(form.Edit1, text);
    }
    // Runs Execute with `steps` acting on the open window; a window the steps
    // leave open is noted and then cancelled.
    bool run(const std::function<void(TSaveForm &)> &steps)
    {
        leftOpen = false;
        QTimer::singleShot(0, [&] {
            TSaveForm *form = dialog.Form();
            ASSERT_NE(form, nullptr);
            steps(*form);
            if (dialog.Form() && dialog.Form()->isVisible()) {
                leftOpen = true;
                dialog.Form()->CancelBtnClick();
            }
        });
        return dialog.Execute();
    }

    platform::ScriptedDialogService script;
    QString folder;
    TPictureSaveDialog dialog;
    bool leftOpen = false;
};

} // namespace

TEST_F(SaveDialogTest, OpensOnTheFirstFilterWithTheMaskInTheNameBox)
{
    for (const char *name : {"a.bmp", "b.GIF", "c.txt", "d.png", "e.Pcx"})
        picture(QString::fromLatin1(name));
    run([&](TSaveForm &form) {
        EXPECT_EQ(form.FileListBox1->fileNames(), (QStringList{"a.bmp", "b.GIF", "e.Pcx"}));
        EXPECT_EQ(form.Edit1->text(), QStringLiteral("*.BMP;*.GIF;*.JPG;*.PCX;"));
        EXPECT_EQ(form.Edit1->selectedText(), form.Edit1->text());
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Save File"));
        // A close box only: no minimise or maximise for a window of fixed size.
        EXPECT_FALSE(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        EXPECT_TRUE(form.windowFlags().testFlags(Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint));
    });
}

TEST_F(SaveDialogTest, TypedNameGivesFolderSeparatorAndName)
{
    EXPECT_TRUE(run([&](TSaveForm &form) {
        type(form, QStringLiteral("new.jpg"));
        QTest::keyClick(form.Edit1, Qt::Key_Return); // OK is the default button
    }));
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(dialog.FileName(), folder + QStringLiteral("/new.jpg"));

    // A folder that ends in the separator gets no second one.
    dialog.setInitialDir(QStringLiteral("/"));
    EXPECT_TRUE(run([&](TSaveForm &form) {
        type(form, QStringLiteral("top.bmp"));
        form.OKBtnClick();
    }));
    EXPECT_EQ(dialog.FileName(), QStringLiteral("/top.bmp"));
    EXPECT_TRUE(script.texts().isEmpty());
}

TEST_F(SaveDialogTest, ANameFromTheRootIsThatPlaceAndAVanishedFolderGivesWayToTheNearestLeft)
{
    const QString elsewhere = test::freshFolder(QStringLiteral("elsewhere")) + QStringLiteral("/abs.bmp");
    EXPECT_TRUE(run([&](TSaveForm &form) {
        type(form, elsewhere);
        form.OKBtnClick();
    }));
    EXPECT_EQ(dialog.FileName(), elsewhere);

    dialog.setInitialDir(folder + QStringLiteral("/gone/deeper"));
    run([&](TSaveForm &form) {
        EXPECT_EQ(form.DirectoryListBox1->directory(), folder);
        EXPECT_FALSE(form.Label1->text().isEmpty());
    });
    EXPECT_TRUE(script.texts().isEmpty());
}

TEST_F(SaveDialogTest, ANameNoTypeOfTheFilterWritesIsSaidBeforeAnyOverwriteQuestion)
{
    const QString lake = picture(QStringLiteral("lake.png"));
    EXPECT_FALSE(run([&](TSaveForm &form) {
        for (const QString &name : {QStringLiteral("lake.png"), QStringLiteral("x.tif"), QStringLiteral("noext")}) {
            type(form, name);
            form.OKBtnClick();
            EXPECT_TRUE(form.isVisible()) << name.toStdString();
        }
    }));
    EXPECT_TRUE(leftOpen);
    const QString tail = QStringLiteral(" cannot be saved: use a name ending in .BMP, .GIF, .JPG or .PCX");
    EXPECT_EQ(script.texts(), (QStringList{lake + tail, folder + QStringLiteral("/x.tif") + tail,
                                           folder + QStringLiteral("/noext") + tail}));
}

TEST_F(SaveDialogTest, ExistingFileIsOnlyReplacedAfterYes)
{
    const QString old = picture(QStringLiteral("old.bmp"));
    script.queueConfirm(false);
    script.queueConfirm(true);
    EXPECT_TRUE(run([&](TSaveForm &form) {
        select(form, QStringLiteral("old.bmp"));
        EXPECT_EQ(form.Edit1->text(), QStringLiteral("old.bmp"));
        form.OKBtnClick();
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.Edit1->text(), QStringLiteral("old.bmp"));
        form.OKBtnClick();
    }));
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(script.texts(), QStringList(2, old + QStringLiteral(" does exists. Overwrite it ?")));
    EXPECT_EQ(dialog.FileName(), old);
    EXPECT_TRUE(QFile::exists(old)); // nothing written or removed
    EXPECT_EQ(script.entries().front().icon, platform::QuestionIcon::Information);

    // A name differing only in case is another file: nothing to ask about.
    script.clear();
    EXPECT_TRUE(run([&](TSaveForm &form) {
        type(form, QStringLiteral("OLD.bmp"));
        form.OKBtnClick();
    }));
    EXPECT_TRUE(script.texts().isEmpty());
    EXPECT_EQ(dialog.FileName(), folder + QStringLiteral("/OLD.bmp"));
}

TEST_F(SaveDialogTest, EmptyNameOrAMaskKeepsTheWindowOpenAndPreviewsGoOn)
{
    picture(QStringLiteral("one.bmp"));
    picture(QStringLiteral("two.gif"));
    EXPECT_FALSE(run([&](TSaveForm &form) {
        form.Edit1->clear();
        form.OKBtnClick();
        EXPECT_TRUE(form.isVisible());
        // A mask typed as the name filters the list instead of naming a file.
        type(form, QStringLiteral("*.GIF"));
        form.OKBtnClick();
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.FileListBox1->fileNames(), QStringList{QStringLiteral("two.gif")});
        // OK pressed before does not spoil later previews.
        form.FileListBox1->setMask(QStringLiteral("*.BMP"));
        select(form, QStringLiteral("one.bmp"));
        EXPECT_EQ(form.MediaView1->Picture().size(), QSize(16, 12));
    }));
    EXPECT_TRUE(leftOpen);
    EXPECT_TRUE(script.texts().isEmpty());
}

TEST_F(SaveDialogTest, CancelAndTheCloseBoxAnswerFalse)
{
    EXPECT_FALSE(run([&](TSaveForm &form) {
        type(form, QStringLiteral("x.bmp"));
        QTest::mouseClick(form.CancelBtn, Qt::LeftButton);
    }));
    EXPECT_FALSE(leftOpen);
    EXPECT_FALSE(run([&](TSaveForm &form) {
        type(form, QStringLiteral("x.bmp"));
        form.close();
    }));
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(dialog.FileName(), folder + QStringLiteral("/x.bmp"));
}

TEST_F(SaveDialogTest, EmptyInitialDirOpensOnTheCurrentFolderWithItsNameShortened)
{
    const QString deep = folder + QStringLiteral("/a-rather-long-folder-name/and-another-long-one/pictures");
    ASSERT_TRUE(QDir().mkpath(deep));
    const QString before = platform::fs::currentDirectory();
    ASSERT_TRUE(platform::fs::setCurrentDirectory(deep));
    dialog.setInitialDir(QString());
    run([&](TSaveForm &form) {
        EXPECT_EQ(form.DirectoryListBox1->directory(), deep);
        const QString shown = form.Label1->text();
        EXPECT_TRUE(shown.endsWith(u"/pictures")) << shown.toStdString();
        EXPECT_LE(form.Label1->fontMetrics().horizontalAdvance(shown), form.Label1->width());
    });
    platform::fs::setCurrentDirectory(before);
}

TEST_F(SaveDialogTest, AutoDisplayAndDoubleClick)
{
    picture(QStringLiteral("shown.bmp"), QSize(30, 20));
    dialog.setAutoDisPlay(false);
    run([&](TSaveForm &form) {
        select(form, QStringLiteral("shown.bmp"));
        EXPECT_TRUE(form.MediaView1->Picture().isEmpty());
        QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
        EXPECT_EQ(form.MediaView1->Picture().size(), QSize(30, 20));

        form.Edit1->setText(QStringLiteral("other"));
        QListWidgetItem *item = form.FileListBox1->currentItem();
        const QPoint at = form.FileListBox1->visualItemRect(item).center();
        // A double click is a click followed by the double-click event.
        QTest::mouseClick(form.FileListBox1->viewport(), Qt::LeftButton, {}, at);
        form.Edit1->setText(QStringLiteral("other"));
        QTest::mouseDClick(form.FileListBox1->viewport(), Qt::LeftButton, {}, at);
        EXPECT_EQ(form.Edit1->text(), QStringLiteral("shown.bmp"));
    });
}

TEST_F(SaveDialogTest, OkStopsALongPreviewAndTheNotifierIsRestored)
{
    picture(QStringLiteral("huge.bmp"), QSize(3000, 2000));
    int outside = 0;
    TMediaView::setProgressNotifier([&](int32_t) { return ++outside; });
    int reports = 0;
    EXPECT_TRUE(run([&](TSaveForm &form) {
        // A name is typed and OK pressed while the picture is being read, as
        // the events the dialog's hook lets through would deliver them.
        TMediaView::setProgressNotifier([&, hook = TMediaView::ProgressNotifier()](int32_t p) {
            if (++reports == 3) {
                form.Edit1->setText(QStringLiteral("copy.bmp"));
                form.OKBtnClick();
            }
            return hook(p);
        });
        select(form, QStringLiteral("huge.bmp"));
        EXPECT_TRUE(form.MediaView1->Picture().isEmpty());
    }));
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(reports, 3);
    EXPECT_TRUE(script.texts().isEmpty()) << script.texts().join(u'|').toStdString(); // a stop is no failure
    EXPECT_EQ(dialog.FileName(), folder + QStringLiteral("/copy.bmp"));
    EXPECT_EQ(outside, 0);
    TMediaView::ProgressNotifier()(50);
    EXPECT_EQ(outside, 1);
    TMediaView::setProgressNotifier({});
}

TEST_F(SaveDialogTest, ADamagedPictureInThePreviewIsToldInOneBox)
{
    // A GIF cut short after its screen descriptor.
    test::writeFile(folder + QStringLiteral("/cut.gif"), QByteArray("GIF89a\x10\x00\x10\x00\x80\x00\x00", 13));
    run([&](TSaveForm &form) {
        select(form, QStringLiteral("cut.gif"));
        QTest::mouseClick(form.CheckBox1, Qt::LeftButton); // previews on
        EXPECT_TRUE(form.MediaView1->Picture().isEmpty());
    });
    ASSERT_EQ(script.texts().size(), 1) << script.texts().join(u'|').toStdString();
    // The box's own words and the reader's reason, together.
    EXPECT_TRUE(script.texts().front().contains(QStringLiteral("Reading gif file failed")));
    EXPECT_GT(script.texts().front().count(u'\n'), 0);
}
