// A picture folder arrives from anyone, with its own data file and previews.
// Each case plants what an attacker would and checks that the files the
// store does not own keep every byte, nothing hangs and nothing is lost.
#include "imaging/CodecBridge.h"
#include "platform/DialogService.h"
#include "platform/FileSystem.h"
#include "platform/ScriptedDialogService.h"
#include "platform/Trash.h"
#include "tests/support/TestEnvironment.h"
#include "thumbs/PreviewBatch.h"
#include "thumbs/PreviewStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

using namespace brisvale;
namespace fs = brisvale::platform::fs;

namespace {

const QString kMask = QStringLiteral("*.JPG;*.GIF;*.PCX;*.BMP;*.PNG;*.TIF;*.WMF;*.ICO");

void writePicture(const QString &path, int shade = 90, QSize size = {64, 48})
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb((x * 7 + shade) & 255, (y * 5) & 255, shade));
    Bitmap bitmap;
    bitmap.setImage(image);
    const bool jpeg = path.endsWith(QStringLiteral(".jpg"));
    ASSERT_TRUE(jpeg ? WriteJPGFile(path, 90, 0, 24, bitmap, CodecProgress())
                     : WriteBMPFile(path, 24, bitmap, CodecProgress()))
        << path.toStdString();
}

bool isLink(const QString &path) { return QFileInfo(path).isSymLink(); }

struct ToolRun {
    int exitCode = -1;
    QString errors;
};

ToolRun runTool(const QString &dir)
{
    QProcess tool;
    tool.start(QStringLiteral(MKPREVIEWS), {dir});
    // Far longer than any run takes: a tool waiting on a pipe never ends.
    if (!tool.waitForFinished(60000)) {
        tool.kill();
        tool.waitForFinished();
        return {};
    }
    return {tool.exitCode(), QString::fromLocal8Bit(tool.readAllStandardError())};
}

// Every picture has exactly one entry, every entry names a regular preview
// in the folder, every preview there is named by an entry, and no temporary
// file is left.
void expectWhole(const QString &dir, const QStringList &pictures)
{
    QMap<QString, int> keys;
    QSet<QString> values;
    for (const QByteArray &line : test::fileContents(dir + QStringLiteral("/thumbs.dat")).split('\n')) {
        const qsizetype eq = line.lastIndexOf('=');
        if (line.startsWith('[') || eq < 0)
            continue;
        keys[QString::fromUtf8(line.left(eq))]++;
        values.insert(QString::fromUtf8(line.mid(eq + 1)));
    }
    for (const QString &picture : pictures)
        EXPECT_EQ(keys.value(fs::lowerAscii(dir + u'/' + picture)), 1) << picture.toStdString();
    EXPECT_EQ(keys.size(), pictures.size());
    QSet<QString> previews;
    for (const QString &name : QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        EXPECT_FALSE(name.startsWith(QStringLiteral(".thm-")) || name.startsWith(QStringLiteral(".ini-"))
                     || name.contains(QStringLiteral(".~")))
            << name.toStdString();
        if (name.endsWith(QStringLiteral(".THB")))
            previews.insert(fs::lowerAscii(dir + u'/' + name));
    }
    EXPECT_EQ(previews, values);
}

void age(const QString &dir)
{
    const struct timeval old[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
    for (const QString &name : QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System))
        ::lutimes(QFile::encodeName(dir + u'/' + name).constData(), old);
}

class PreviewStoreAttackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setDialogService(&dialogs);
        outside = test::freshFolder(QStringLiteral("outside"));
        test::writeFile(outside + QStringLiteral("/secret.THB"), "not yours");
        test::writeFile(outside + QStringLiteral("/data.txt"), "[keep]\nme=1\n");
    }
    void TearDown() override
    {
        platform::setDialogService(nullptr);
        EXPECT_EQ(test::fileContents(outside + QStringLiteral("/secret.THB")), "not yours");
        EXPECT_EQ(test::fileContents(outside + QStringLiteral("/data.txt")), "[keep]\nme=1\n");
        EXPECT_EQ(QDir(outside).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 2);
    }

    QString folder(const QString &name, const QStringList &pictures)
    {
        const QString dir = test::freshFolder(name);
        int shade = 0;
        for (const QString &picture : pictures)
            writePicture(dir + u'/' + picture, shade += 20);
        return dir;
    }

    platform::ScriptedDialogService dialogs;
    QString outside;
};

} // namespace

TEST_F(PreviewStoreAttackTest, ValuesNamingWhatTheStoreDoesNotOwnLoseTheirEntryAndDeleteNothing)
{
    const QStringList pictures{QStringLiteral("a.bmp"), QStringLiteral("b.bmp"), QStringLiteral("c.bmp"),
                               QStringLiteral("d.bmp"), QStringLiteral("e.bmp")};
    const QString dir = folder(QStringLiteral("values"), pictures);
    const QByteArray picture = test::fileContents(dir + QStringLiteral("/c.bmp"));
    QDir(dir).mkdir(QStringLiteral("sub.THB"));
    QFile::link(outside + QStringLiteral("/secret.THB"), dir + QStringLiteral("/link.THB"));
    const QString key = fs::lowerAscii(dir) + u'/';
    test::writeFile(dir + QStringLiteral("/thumbs.dat"),
                    ('[' + dir + "/]\n" + key + "a.bmp=" + outside + "/secret.THB\n" + key + "b.bmp=" + dir + "/c.bmp\n"
                     + key + "c.bmp=" + dir + "/../" + QFileInfo(outside).fileName() + "/secret.thb\n" + key
                     + "d.bmp=" + dir + "/sub.THB\n" + key + "e.bmp=" + dir + "/link.THB\n")
                        .toUtf8());

    // Create, deleting old previews: every value is forgotten, every picture made anew.
    PreviewStore store;
    store.setListedFolder(dir);
    store.setPreviewsDir(dir);
    store.setDataFile(dir + QStringLiteral("/thumbs.dat"));
    PreviewBatch batch(store, nullptr);
    EXPECT_EQ(batch.create(fs::findFiles(dir, kMask), true), PreviewBatch::Result::Done);
    // Delete all, the right button and the bin forget the same way.
    store.ForgetPreview(QStringLiteral("a.bmp"));
    store.RecordPreview(dir + QStringLiteral("/a.bmp"), outside + QStringLiteral("/secret.THB"));
    store.ForgetPreview(QStringLiteral("a.bmp"));
    store.RecordPreview(dir + QStringLiteral("/a.bmp"), store.MakePreview(QStringLiteral("a.bmp")));

    EXPECT_EQ(test::fileContents(dir + QStringLiteral("/c.bmp")), picture);
    EXPECT_TRUE(QFileInfo(dir + QStringLiteral("/sub.THB")).isDir());
    EXPECT_TRUE(isLink(dir + QStringLiteral("/link.THB")));
    QDir(dir).rmdir(QStringLiteral("sub.THB"));
    QFile::remove(dir + QStringLiteral("/link.THB"));
    expectWhole(dir, pictures);
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(u'|').toStdString();
}

TEST_F(PreviewStoreAttackTest, BinMakesTheHomeTrashAndNothingBesideThePicture)
{
    const QString dir = folder(QStringLiteral("bin"), {QStringLiteral("a.bmp"), QStringLiteral("a.bmp.2")});
    const QString home = test::freshFolder(QStringLiteral("home")) + QStringLiteral("/not/yet");
    qputenv("XDG_DATA_HOME", QFile::encodeName(home));
    const QByteArray bytes = test::fileContents(dir + QStringLiteral("/a.bmp"));
    ASSERT_TRUE(platform::Trash::moveToTrash(dir + QStringLiteral("/a.bmp")));
    writePicture(dir + QStringLiteral("/a.bmp"), 7);
    ASSERT_TRUE(platform::Trash::moveToTrash(dir + QStringLiteral("/a.bmp")));
    qunsetenv("XDG_DATA_HOME");

    EXPECT_EQ(QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("a.bmp.2")});
    // The second goes beside the first in the trash, never over it.
    EXPECT_EQ(test::fileContents(home + QStringLiteral("/Trash/files/a.bmp")), bytes);
    EXPECT_TRUE(QFile::exists(home + QStringLiteral("/Trash/files/a.bmp.2")));
    const QByteArray info = test::fileContents(home + QStringLiteral("/Trash/info/a.bmp.trashinfo"));
    EXPECT_TRUE(info.startsWith("[Trash Info]\nPath=" + QFile::encodeName(dir) + "/a.bmp\nDeletionDate="))
        << info.constData();
}

TEST_F(PreviewStoreAttackTest, LinksAndPipesAreNeitherFollowedNorWaitedFor)
{
    const QStringList pictures{QStringLiteral("a.bmp"), QStringLiteral("b.bmp")};

    // A data file that is a link: nothing is appended through it.
    const QString linked = folder(QStringLiteral("linked"), pictures);
    QFile::link(outside + QStringLiteral("/data.txt"), linked + QStringLiteral("/thumbs.dat"));
    ToolRun run = runTool(linked);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("Unable to write to ") + linked + QStringLiteral("/thumbs.dat")))
        << run.errors.toStdString();
    EXPECT_TRUE(isLink(linked + QStringLiteral("/thumbs.dat")));

    // Preview names that are links, one dangling: the previews take other names.
    const QString planted = folder(QStringLiteral("planted"), pictures);
    QFile::link(outside + QStringLiteral("/made.THB"), planted + QStringLiteral("/a.THB"));
    QFile::link(outside + QStringLiteral("/secret.THB"), planted + QStringLiteral("/b.THB"));
    run = runTool(planted);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(isLink(planted + QStringLiteral("/a.THB")) && isLink(planted + QStringLiteral("/b.THB")));
    QFile::remove(planted + QStringLiteral("/a.THB"));
    QFile::remove(planted + QStringLiteral("/b.THB"));
    expectWhole(planted, pictures);

    // A pipe as the data file, and a pipe as a picture: nothing waits on them.
    const QString piped = folder(QStringLiteral("piped"), pictures);
    ASSERT_EQ(::mkfifo(QFile::encodeName(piped + QStringLiteral("/thumbs.dat")).constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(piped + QStringLiteral("/c.bmp")).constData(), 0600), 0);
    run = runTool(piped);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("Unable to write to "))) << run.errors.toStdString();
    QFile::remove(piped + QStringLiteral("/thumbs.dat"));
    run = runTool(piped);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    expectWhole(piped, pictures + QStringList{QStringLiteral("c.bmp")});
}

TEST_F(PreviewStoreAttackTest, TwoProgramsOnOneFolderLoseNothing)
{
    QStringList pictures;
    for (int i = 0; i < 12; ++i)
        pictures << QStringLiteral("p%1.bmp").arg(i, 2, 10, QChar(u'0'));
    // Same stems: the second of each pair takes a numbered name.
    pictures << QStringLiteral("s1.jpg") << QStringLiteral("s1.bmp") << QStringLiteral("s2.jpg")
             << QStringLiteral("s2.bmp");
    const QString dir = folder(QStringLiteral("two"), pictures);
    for (int round = 0; round < 4; ++round) {
        QProcess first;
        QProcess second;
        first.start(QStringLiteral(MKPREVIEWS), {dir});
        second.start(QStringLiteral(MKPREVIEWS), {dir});
        ASSERT_TRUE(first.waitForFinished(60000) && second.waitForFinished(60000));
        EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().constData();
        EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().constData();
        expectWhole(dir, pictures);
        if (::testing::Test::HasFailure())
            FAIL() << "round " << round;
    }
}

TEST_F(PreviewStoreAttackTest, KilledBatchLeavesNothingOnceAFullOneHasRun)
{
    QStringList pictures;
    for (int i = 0; i < 24; ++i)
        pictures << QStringLiteral("k%1.jpg").arg(i, 2, 10, QChar(u'0'));
    const QString dir = test::freshFolder(QStringLiteral("killed"));
    for (int i = 0; i < pictures.size(); ++i)
        writePicture(dir + u'/' + pictures[i], i * 10, {1600, 1200});
    QProcess tool;
    tool.start(QStringLiteral(MKPREVIEWS), {dir});
    ASSERT_TRUE(tool.waitForReadyRead(60000));
    tool.kill();
    tool.waitForFinished();
    // What older versions left, and files that only look alike.
    test::writeFile(dir + QStringLiteral("/k00.THB.~Ab12Cd"), "half");
    test::writeFile(dir + QStringLiteral("/Thm7.THB"), "orphan");
    test::writeFile(dir + QStringLiteral("/notes.THB.bak"), "mine");
    test::writeFile(dir + QStringLiteral("/.thm-notes"), "mine");
    age(dir);

    const ToolRun run = runTool(dir);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(test::fileContents(dir + QStringLiteral("/notes.THB.bak")), "mine");
    EXPECT_EQ(test::fileContents(dir + QStringLiteral("/.thm-notes")), "mine");
    QFile::remove(dir + QStringLiteral("/notes.THB.bak"));
    QFile::remove(dir + QStringLiteral("/.thm-notes"));
    expectWhole(dir, pictures);
}

TEST_F(PreviewStoreAttackTest, AwkwardNamesAndDataFilesKeepTheirEntries)
{
    // ']' in the folder's name, a byte-order mark before the first section.
    const QString dir = test::freshFolder(QStringLiteral("odd]name"));
    const QString longName = QString(246, u'x') + QStringLiteral(".bmp");
    const QStringList pictures{QStringLiteral("a.bmp"), longName};
    writePicture(dir + QStringLiteral("/a.bmp"));
    ASSERT_TRUE(QFile::copy(dir + QStringLiteral("/a.bmp"), dir + u'/' + longName));
    ASSERT_TRUE(QFile::copy(dir + QStringLiteral("/a.bmp"), dir + QStringLiteral("/line\nbreak.bmp")));
    // Not even listed: the toolkit passes such names over.
    const QByteArray invalid = QFile::encodeName(dir) + "/bad\xff.bmp";
    ASSERT_EQ(::link(QFile::encodeName(dir + QStringLiteral("/a.bmp")).constData(), invalid.constData()), 0);
    test::writeFile(dir + QStringLiteral("/thumbs.dat"), "\xEF\xBB\xBF[" + QFile::encodeName(dir) + "/]\n");

    ToolRun run = runTool(dir);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QStringLiteral("Skipped line?break.bmp: its name cannot be stored")))
        << run.errors.toStdString();
    EXPECT_EQ(run.errors.count(QStringLiteral("Skipped ")), 1) << run.errors.toStdString();
    run = runTool(dir);
    EXPECT_EQ(run.exitCode, 0);

    const QByteArray data = test::fileContents(dir + QStringLiteral("/thumbs.dat"));
    EXPECT_TRUE(data.startsWith("\xEF\xBB\xBF[" + QFile::encodeName(dir) + "/]\n")) << data.constData();
    EXPECT_EQ(data.count("]\n"), 1) << data.constData();
    ::unlink(invalid.constData());
    QFile::remove(dir + QStringLiteral("/line\nbreak.bmp"));
    expectWhole(dir, pictures);

    PreviewStore store;
    store.setListedFolder(dir);
    store.setPreviewsDir(dir);
    store.setDataFile(dir + QStringLiteral("/thumbs.dat"));
    EXPECT_TRUE(store.LoadPreview(dir + u'/' + longName));
}
