#include "thumbs/PreviewStore.h"

#include "imaging/CodecBridge.h"
#include "imaging/SharedPalette.h"
#include "imaging/TImageView.h"
#include "platform/FileSystem.h"
#include "platform/PrivateProfile.h"
#include "platform/ScriptedDialogService.h"
#include "tests/support/TestEnvironment.h"
#include "thumbs/PreviewBatch.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

using namespace brisvale;
namespace fs = brisvale::platform::fs;

namespace {

// A picture with detail in both directions, so any scaling fault shows.
QImage pattern(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 7) & 255, (y * 5) & 255, ((x ^ y) * 3) & 255));
    return image;
}

// Smooth like a photograph: what decoding at a reduced size is made for.
QImage photo(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, (x + 2 * y) * 255 / (w + 2 * h)));
    return image;
}

void writePicture(const QString &path, const QImage &image = pattern(320, 200))
{
    Bitmap bitmap;
    bitmap.setImage(image);
    const QString ext = fs::upperAscii(fs::extensionOf(path));
    bool ok = false;
    if (ext == QLatin1String(".JPG"))
        ok = WriteJPGFile(path, 90, 0, 24, bitmap, CodecProgress());
    else if (ext == QLatin1String(".GIF"))
        ok = WriteGIFFile(path, 8, bitmap, CodecProgress());
    else
        ok = WriteBMPFile(path, 24, bitmap, CodecProgress());
    ASSERT_TRUE(ok) << path.toStdString();
}

class PreviewStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setDialogService(&dialogs);
        root = test::freshFolder(QStringLiteral("store"));
        pics = root + QStringLiteral("/Pics");
        QDir(root).mkpath(QStringLiteral("Pics"));
        store.setDataFile(pics + QStringLiteral("/thumbs.dat"));
        store.setPreviewsDir(pics);
        store.setListedFolder(pics);
        store.setBackground(QColor(0xEF, 0xEF, 0xEF));
    }
    void TearDown() override { platform::setDialogService(nullptr); }

    // What the previewer's Batch create does for each listed file.
    void batch(const QStringList &names)
    {
        store.expectPreviews(names);
        for (const QString &name : names) {
            store.ForgetPreview(fs::lowerAscii(name));
            store.RecordPreview(store.listedFolder() + name, store.MakePreview(name));
        }
    }

    platform::ScriptedDialogService dialogs;
    PreviewStore store;
    QString root, pics;
};

} // namespace

TEST_F(PreviewStoreTest, SameStemGetsNumberedNameAndRemakingGivesTheNameBack)
{
    writePicture(pics + QStringLiteral("/beach.jpg"));
    writePicture(pics + QStringLiteral("/Beach.GIF"));
    batch({QStringLiteral("beach.jpg"), QStringLiteral("Beach.GIF")});

    EXPECT_EQ(store.PreviewFileFor(pics + QStringLiteral("/beach.jpg")), fs::lowerAscii(pics) + "/beach.thb");
    EXPECT_EQ(store.PreviewFileFor(pics + QStringLiteral("/Beach.GIF")), fs::lowerAscii(pics) + "/thm0.thb");
    EXPECT_TRUE(QFile::exists(pics + QStringLiteral("/beach.THB")));
    EXPECT_TRUE(QFile::exists(pics + QStringLiteral("/Thm0.THB")));
    EXPECT_EQ(store.nameIndex(), (QStringList{QStringLiteral("beach.jpg[0]"), QStringLiteral("beach.gif[1]")}));

    // Again: each old preview is gone before its new name is chosen.
    batch({QStringLiteral("beach.jpg"), QStringLiteral("Beach.GIF")});
    EXPECT_EQ(store.PreviewFileFor(pics + QStringLiteral("/beach.jpg")), fs::lowerAscii(pics) + "/beach.thb");
    EXPECT_EQ(store.PreviewFileFor(pics + QStringLiteral("/Beach.GIF")), fs::lowerAscii(pics) + "/thm0.thb");
    EXPECT_EQ(QDir(pics).entryList(QDir::Files).size(), 5); // two pictures, two previews, the data file
    EXPECT_TRUE(dialogs.texts().isEmpty());
}

TEST_F(PreviewStoreTest, FoldersSharingAPreviewsFolderKeepSeparateEntries)
{
    const QString shared = root + QStringLiteral("/previews");
    QDir(root).mkpath(QStringLiteral("previews"));
    QDir(root).mkpath(QStringLiteral("Other"));
    store.setPreviewsDir(shared);
    store.setDataFile(shared + QStringLiteral("/thumbs.dat"));
    writePicture(pics + QStringLiteral("/beach.jpg"));
    writePicture(root + QStringLiteral("/Other/beach.jpg"), pattern(90, 300));
    batch({QStringLiteral("beach.jpg")});
    store.setListedFolder(root + QStringLiteral("/Other"));
    batch({QStringLiteral("beach.jpg")});

    EXPECT_EQ(store.PreviewFileFor(pics + QStringLiteral("/beach.jpg")), fs::lowerAscii(shared) + "/beach.thb");
    EXPECT_EQ(store.PreviewFileFor(root + QStringLiteral("/Other/beach.jpg")), fs::lowerAscii(shared) + "/thm0.thb");
    const QByteArray data = test::fileContents(shared + QStringLiteral("/thumbs.dat"));
    EXPECT_TRUE(data.contains(("[" + pics + "/]").toUtf8())) << data.constData();
    EXPECT_TRUE(data.contains(("[" + root + "/Other/]").toUtf8())) << data.constData();
}

TEST_F(PreviewStoreTest, ImageIndexTakesNewestEntryPastRefusedImages)
{
    const QImage img = pattern(60, 50);
    for (int i = 0; i < 5; ++i)
        store.addImage(img);
    const auto withNames = [&](const QStringList &names) {
        store.ClearThumbnails();
        for (int i = 0; i < 5; ++i)
            store.addImage(img);
        const_cast<QStringList &>(store.nameIndex()) = names;
    };
    withNames({QStringLiteral("a.jpg[0]"), QStringLiteral("ab.jpg[1]"), QStringLiteral("b.jpg[2]")});
    EXPECT_EQ(store.ImageIndexOf(QStringLiteral("B.JPG")), 2);
    withNames({QStringLiteral("ab.jpg[1]")});
    EXPECT_EQ(store.ImageIndexOf(QStringLiteral("b.jpg")), -1);
    withNames({QStringLiteral("x.jpg[-1]"), QStringLiteral("x.jpg[4]")});
    EXPECT_EQ(store.ImageIndexOf(QStringLiteral("x.jpg")), 4);
    withNames({QStringLiteral("x.jpg[4]"), QStringLiteral("x.jpg[-1]")});
    EXPECT_EQ(store.ImageIndexOf(QStringLiteral("x.jpg")), 4);
    withNames({QStringLiteral("x.jpg[4]"), QStringLiteral("x.jpg[z]")});
    EXPECT_EQ(store.ImageIndexOf(QStringLiteral("x.jpg")), -1);

    EXPECT_EQ(store.addImage(pattern(61, 50)), -1);
}

TEST_F(PreviewStoreTest, DataFileEntriesAndTheirMissingOrEmptyValues)
{
    const QString source = pics + QStringLiteral("/beach.jpg");
    EXPECT_EQ(store.PreviewFileFor(source), QString());
    EXPECT_FALSE(QFile::exists(store.dataFile()));
    EXPECT_FALSE(store.LoadPreview(source));

    // A picture deleted after the folder was listed: no file, an empty entry.
    store.RecordPreview(source, store.MakePreview(QStringLiteral("beach.jpg")));
    EXPECT_TRUE(QFile::exists(store.dataFile()));
    EXPECT_EQ(store.imageCount(), 0);
    EXPECT_FALSE(store.LoadPreview(source));
    EXPECT_EQ(QDir(pics).entryList(QDir::Files), QStringList{QStringLiteral("thumbs.dat")});

    // Written while the folder was listed in upper case, found in lower case.
    writePicture(source);
    store.setListedFolder(fs::upperAscii(pics));
    store.RecordPreview(fs::upperAscii(pics) + QStringLiteral("/BEACH.JPG"),
                        store.MakePreview(QStringLiteral("beach.jpg")));
    store.ClearThumbnails();
    store.setListedFolder(pics);
    EXPECT_EQ(store.PreviewFileFor(fs::lowerAscii(fs::upperAscii(pics)) + QStringLiteral("/beach.jpg")),
              fs::lowerAscii(fs::upperAscii(pics)) + QStringLiteral("/beach.thb"));
    EXPECT_TRUE(store.LoadPreview(fs::lowerAscii(fs::upperAscii(pics)) + QStringLiteral("/beach.jpg")));
    EXPECT_EQ(store.nameIndex(), QStringList{QStringLiteral("beach.jpg[0]")});

    // Forgetting takes the file and the entry; a second time does nothing.
    store.setListedFolder(fs::upperAscii(pics));
    store.ForgetPreview(QStringLiteral("beach.jpg"));
    store.ForgetPreview(QStringLiteral("beach.jpg"));
    EXPECT_FALSE(QFile::exists(pics + QStringLiteral("/beach.THB")));
    EXPECT_EQ(store.PreviewFileFor(fs::upperAscii(pics) + QStringLiteral("/BEACH.JPG")), QString());
    EXPECT_TRUE(dialogs.texts().isEmpty());
}

TEST_F(PreviewStoreTest, UnwritableDataFileEndsTheOperationAndLosesNothing)
{
    writePicture(pics + QStringLiteral("/beach.jpg"));
    batch({QStringLiteral("beach.jpg")});
    const QByteArray before = test::fileContents(store.dataFile());

    // Root may write anywhere; a file standing where the folder should be
    // stops everyone.
    const QString blocked = root + QStringLiteral("/notafolder");
    QFile(blocked).open(QIODevice::WriteOnly);
    store.setDataFile(blocked + QStringLiteral("/thumbs.dat"));
    try {
        batch({QStringLiteral("beach.jpg")});
        ADD_FAILURE() << "the batch went on";
    } catch (const platform::ProfileWriteError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Unable to write to ") + blocked + QStringLiteral("/thumbs.dat"));
    }
    store.setDataFile(pics + QStringLiteral("/thumbs.dat"));
    EXPECT_EQ(test::fileContents(store.dataFile()), before);
}

TEST_F(PreviewStoreTest, FailuresReportTheControlsWordsAndStillCache)
{
    QFile bad(pics + QStringLiteral("/broken.jpg"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture");
    bad.close();
    const QString p = store.MakePreview(QStringLiteral("broken.jpg"));
    // The reason, then the control's words, in one box.
    ASSERT_EQ(dialogs.texts().size(), 1) << dialogs.texts().join('|').toStdString();
    EXPECT_TRUE(dialogs.texts().front().endsWith(QStringLiteral("\nReading jpg file failed")));
    ASSERT_EQ(store.imageCount(), 1);
    EXPECT_EQ(store.image(0).pixel(30, 25), qRgb(0xEF, 0xEF, 0xEF));
    EXPECT_TRUE(QFile::exists(p));

    // A pipe named like a picture is refused at once, whether decoded ahead or not.
    dialogs.clear();
    ASSERT_EQ(::mkfifo(QFile::encodeName(pics + QStringLiteral("/pipe.jpg")).constData(), 0600), 0);
    store.expectPreviews({QStringLiteral("pipe.jpg")});
    EXPECT_FALSE(store.MakePreview(QStringLiteral("pipe.jpg")).isEmpty());
    EXPECT_TRUE(store.MakePreview(QStringLiteral("pipe.jpg")).endsWith(QLatin1String(".THB")));
    ASSERT_EQ(dialogs.texts().size(), 2) << dialogs.texts().join('|').toStdString();
    for (const QString &text : dialogs.texts())
        EXPECT_TRUE(text.endsWith(QStringLiteral("\nReading jpg file failed"))) << text.toStdString();
    EXPECT_EQ(store.imageCount(), 3);

    // The previews folder is gone: the writer's words, the image still cached.
    dialogs.clear();
    writePicture(pics + QStringLiteral("/beach.jpg"));
    store.setPreviewsDir(root + QStringLiteral("/gone"));
    EXPECT_EQ(store.MakePreview(QStringLiteral("beach.jpg")), root + QStringLiteral("/gone/beach.THB"));
    EXPECT_TRUE(dialogs.texts().join(u'\n').contains(QStringLiteral("Writing bmp file failed")));
    EXPECT_EQ(store.imageCount(), 4);
    store.setFormat(PreviewFormat::ForSize);
    dialogs.clear();
    store.MakePreview(QStringLiteral("beach.jpg"));
    EXPECT_TRUE(dialogs.texts().join(u'\n').contains(QStringLiteral("Writing jpg file failed")));
}

TEST_F(PreviewStoreTest, PreviewIsWhatTheWorkingBoxShows)
{
    // The working box as the previewer sets it up, shown what the store draws.
    const auto stretchedBox = [&](TImageView &box) {
        box.resize(PreviewStore::kWidth, PreviewStore::kHeight);
        box.setStretch(true);
        box.setCenter(true);
        box.setColor(store.background());
        box.setImageDither(false);
    };
    TImageView working;
    stretchedBox(working);
    store.hooks().showWorking = [&](const Bitmap &shown) {
        ViewPicture picture;
        picture.kind = ViewPicture::Kind::Bitmap;
        picture.bitmap = shown;
        working.setPicture(picture);
    };
    // An image control loading the picture itself.
    TImageView plain;
    stretchedBox(plain);

    const struct {
        const char *name;
        QImage image;
        int tolerance; // a JPEG is decoded only as large as the box needs
    } cases[] = {{"wide.jpg", photo(641, 203), 3},
                 {"tall.bmp", pattern(37, 300), 0},
                 {"tiny.gif", pattern(7, 5), 0},
                 {"big.bmp", pattern(641, 503), 0},
                 {"big.gif", pattern(300, 200), 0}};
    for (const auto &c : cases) {
        writePicture(pics + '/' + c.name, c.image);
        const QString preview = store.MakePreview(QLatin1String(c.name));
        const QImage shown = working.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int index = store.ImageIndexOf(QLatin1String(c.name));
        ASSERT_GE(index, 0);
        EXPECT_EQ(store.image(index), shown) << c.name;
        Bitmap stored;
        ASSERT_TRUE(ReadBMPFile(preview, 24, 0, CodecProgress(), stored));
        EXPECT_EQ(stored.image().convertToFormat(QImage::Format_RGB32), shown) << c.name;

        plain.setImageName(pics + '/' + c.name);
        const QImage loaded = plain.grab().toImage().convertToFormat(QImage::Format_RGB32);
        int worst = 0;
        for (int y = 0; y < loaded.height(); ++y)
            for (int x = 0; x < loaded.width(); ++x) {
                const QRgb a = loaded.pixel(x, y), b = shown.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                  std::abs(qBlue(a) - qBlue(b))});
            }
        EXPECT_LE(worst, c.tolerance) << c.name;
    }
}

TEST_F(PreviewStoreTest, CommandLineToolMakesWhatABatchCreateMakes)
{
    writePicture(pics + QStringLiteral("/beach.jpg"), photo(400, 300));
    writePicture(pics + QStringLiteral("/Beach.GIF"));
    writePicture(pics + QStringLiteral("/x.bmp"), pattern(90, 70));
    writePicture(pics + QStringLiteral("/X.BMP"), pattern(70, 90)); // its caption is taken already
    QFile(pics + QStringLiteral("/notes.txt")).open(QIODevice::WriteOnly);
    const QStringList pictures = QDir(pics).entryList(QDir::Files);

    store.setBackground(QApplication::palette().color(QPalette::Button));
    QStringList listed = fs::findFiles(pics, QStringLiteral("*.JPG;*.GIF;*.PCX;*.BMP;*.PNG;*.TIF;*.WMF;*.ICO"));
    listed.removeAll(QStringLiteral("x.bmp")); // X.BMP comes first in the list and is made from its own pixels
    batch(listed);
    const auto snapshot = [&] {
        QMap<QString, QByteArray> files;
        for (const QString &name : QDir(pics).entryList(QDir::Files))
            if (!pictures.contains(name))
                files.insert(name, test::fileContents(pics + '/' + name));
        return files;
    };
    const QMap<QString, QByteArray> fromBatch = snapshot();
    // Beach.GIF comes first in the list and is made under its lower-cased name.
    ASSERT_EQ(fromBatch.keys(), (QStringList{QStringLiteral("Thm0.THB"), QStringLiteral("beach.THB"),
                                             QStringLiteral("thumbs.dat"), QStringLiteral("x.THB")}));
    for (const QString &name : fromBatch.keys())
        QFile::remove(pics + '/' + name);

    QProcess tool;
    tool.start(QStringLiteral(MKPREVIEWS), {pics});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().constData();
    EXPECT_EQ(tool.readAllStandardOutput().count('\n'), 3);
    const QMap<QString, QByteArray> fromTool = snapshot();
    EXPECT_EQ(fromTool.keys(), fromBatch.keys());
    for (const QString &name : fromBatch.keys())
        EXPECT_TRUE(fromTool.value(name) == fromBatch.value(name)) << name.toStdString();
}

TEST_F(PreviewStoreTest, PicturesDecodedAheadGoToTheirOwnNamesWhateverTheOrder)
{
    const QStringList names{QStringLiteral("a.jpg"), QStringLiteral("b.bmp"), QStringLiteral("c.jpg"),
                            QStringLiteral("d.gif")};
    for (int i = 0; i < names.size(); ++i)
        writePicture(pics + '/' + names[i], i % 2 ? pattern(200 + 40 * i, 150) : photo(300, 100 + 90 * i));
    // Made one by one, nothing decoded ahead.
    std::map<QString, QImage> alone;
    for (const QString &name : names) {
        store.MakePreview(name);
        alone[name] = store.image(store.ImageIndexOf(name));
    }
    store.ClearThumbnails();

    // Announced in one order, asked for in another; one is asked for twice
    // and one after the batch was stopped.
    store.expectPreviews(names);
    const auto makeAndCompare = [&](const QString &name) {
        ASSERT_FALSE(store.MakePreview(name).isEmpty());
        EXPECT_EQ(store.image(store.ImageIndexOf(name)), alone[name]) << name.toStdString();
    };
    for (const QString &name : {names[2], names[0], names[2], names[3]})
        makeAndCompare(name);
    store.cancelExpected();
    makeAndCompare(names[1]);
}

TEST_F(PreviewStoreTest, NamesHoldingEqualsSignsKeepTheirOwnEntriesAndPreviews)
{
    const QString folder = root + QStringLiteral("/f=g");
    QDir(root).mkdir(QStringLiteral("f=g"));
    store.setDataFile(folder + QStringLiteral("/thumbs.dat"));
    store.setPreviewsDir(folder);
    store.setListedFolder(folder);
    const QStringList names{QStringLiteral("a=b.jpg"), QStringLiteral("x.jpg"), QStringLiteral("x.jpg=evil.jpg")};
    for (const QString &name : names)
        writePicture(folder + u'/' + name);
    for (int round = 0; round < 2; ++round) {
        batch(names);
        QStringList previews;
        for (const QString &name : names) {
            const QString preview = store.PreviewFileFor(folder + u'/' + name);
            EXPECT_TRUE(preview.startsWith(fs::lowerAscii(folder) + u'/')) << preview.toStdString();
            EXPECT_FALSE(fs::fileNameOf(preview).contains(u'=')) << preview.toStdString();
            EXPECT_TRUE(QFile::exists(fs::resolve(preview))) << name.toStdString();
            previews << preview;
        }
        previews.removeDuplicates();
        EXPECT_EQ(previews.size(), 3);
        // No orphan is left beside them, round after round.
        EXPECT_EQ(QDir(folder).entryList({QStringLiteral("*.THB")}, QDir::Files).size(), 3);
    }
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(u'|').toStdString();
}

TEST_F(PreviewStoreTest, APreviewClaimingMoreThanAPreviewIsRefusedAtItsHeaderWithOneMessage)
{
    QStringList names;
    for (int i = 0; i < 12; ++i) {
        // 1 KB files claiming a picture of 11585 x 11585 (and the last one 65535 x 65535).
        QByteArray header(1024, '\0');
        const quint32 side = i == 11 ? 65535 : 11585;
        header[0] = 'B';
        header[1] = 'M';
        header[10] = 54;
        header[14] = 40;
        for (int b = 0; b < 4; ++b) {
            header[18 + b] = char((side >> (8 * b)) & 0xFF);
            header[22 + b] = char((side >> (8 * b)) & 0xFF);
        }
        header[26] = 1;
        header[28] = 24;
        const QString name = QStringLiteral("p%1.bmp").arg(i);
        test::writeFile(pics + QStringLiteral("/big%1.THB").arg(i), header);
        store.RecordPreview(pics + u'/' + name, pics + QStringLiteral("/big%1.THB").arg(i));
        names << name;
    }
    PreviewBatch batch(store, nullptr);
    EXPECT_EQ(batch.load(names), PreviewBatch::Result::Done);
    EXPECT_EQ(store.imageCount(), 0);
    ASSERT_EQ(dialogs.texts().size(), 1) << dialogs.texts().join(u'|').toStdString();
    EXPECT_TRUE(dialogs.texts().front().contains(QStringLiteral("big0.THB is not a preview")))
        << dialogs.texts().front().toStdString();
}

// Another program puts a different file at the preview's name once its header
// has been weighed: the picture shown is the one that was weighed.
TEST_F(PreviewStoreTest, APreviewSwappedAfterItsHeaderWasWeighedIsNotTheOneRead)
{
    writePicture(pics + QStringLiteral("/beach.jpg"), photo(320, 200));
    batch({QStringLiteral("beach.jpg")});
    const QString preview = fs::resolve(store.PreviewFileFor(pics + QStringLiteral("/beach.jpg")));
    ASSERT_TRUE(QFile::exists(preview));
    store.ClearThumbnails();
    ASSERT_TRUE(store.LoadPreview(pics + QStringLiteral("/beach.jpg")));
    const QImage made = store.image(0);
    store.ClearThumbnails();
    QImage other(60, 50, QImage::Format_RGB32);
    other.fill(Qt::red);
    writePicture(pics + QStringLiteral("/other.bmp"), other);
    store.hooks().showStatus = [&](const QString &text) {
        if (text == QStringLiteral("Loading previews")) {
            ASSERT_TRUE(QFile::remove(preview) && QFile::rename(pics + QStringLiteral("/other.bmp"), preview));
        }
    };
    ASSERT_TRUE(store.LoadPreview(pics + QStringLiteral("/beach.jpg")));
    EXPECT_FALSE(QFile::exists(pics + QStringLiteral("/other.bmp"))); // the swap was made
    EXPECT_EQ(store.image(0), made);
}
