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
#include <atomic>
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <thread>
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
    QByteArray output;
};

ToolRun runTool(const QString &dir, const QStringList &options = {})
{
    QProcess tool;
    tool.start(QStringLiteral(MKPREVIEWS), QStringList{dir} + options);
    // Far longer than any run takes: a tool waiting on a pipe never ends.
    if (!tool.waitForFinished(60000)) {
        tool.kill();
        tool.waitForFinished();
        return {};
    }
    return {tool.exitCode(), QString::fromLocal8Bit(tool.readAllStandardError()), tool.readAllStandardOutput()};
}

// Another program in the folder: every file the store makes there, as soon as
// it is seen, is swapped for a link to a file outside; at its third sight the
// folder itself is swapped for a link to the outside folder.
class RacingWriter {
public:
    RacingWriter(const QString &dir, const QString &outside, bool swapFolder)
        : dir_(QFile::encodeName(dir)), outside_(QFile::encodeName(outside)), swapFolder_(swapFolder),
          thread_([this] { run(); })
    {}
    ~RacingWriter()
    {
        stop_ = true;
        thread_.join();
        // The folder back in place, so what the store did there can be checked.
        if (swapped_) {
            ::unlink(dir_.constData());
            ::rename((dir_ + ".moved").constData(), dir_.constData());
        }
    }
    int swaps() const { return swaps_; }

private:
    void run()
    {
        const QByteArray target = outside_ + "/secret.THB";
        while (!stop_) {
            // Once the folder is a link, what it leads to is the outside the
            // checks guard: the writer acts no more (it would swap those files).
            if (swapped_) {
                ::usleep(1000);
                continue;
            }
            DIR *d = ::opendir(dir_.constData());
            if (!d)
                continue;
            while (const dirent *e = ::readdir(d)) {
                const QByteArray name(e->d_name);
                const bool made = name.startsWith(".thm-") || name.startsWith(".ini-") || name.contains(".~")
                                  || name.endsWith(".THB") || name.endsWith(".THJ") || name == "thumbs.dat";
                if (!made || e->d_type == DT_LNK)
                    continue;
                const QByteArray link = dir_ + "/.link-" + QByteArray::number(swaps_);
                if (::symlink(target.constData(), link.constData()) == 0
                    && ::rename(link.constData(), (dir_ + '/' + name).constData()) == 0)
                    ++swaps_;
                ::unlink(link.constData());
            }
            ::closedir(d);
            if (swapFolder_ && !swapped_ && swaps_ >= 3
                && ::rename(dir_.constData(), (dir_ + ".moved").constData()) == 0) {
                swapped_ = true;
                if (::symlink(outside_.constData(), dir_.constData()) != 0)
                    ADD_FAILURE() << "the folder could not be swapped for a link";
            }
        }
    }
    QByteArray dir_;
    QByteArray outside_;
    bool swapFolder_;
    std::atomic<bool> stop_{false};
    std::atomic<int> swaps_{0};
    bool swapped_ = false;
    std::thread thread_;
};

// Every picture has exactly one entry, every entry names a regular preview
// in the folder, every preview there is named by an entry, and no temporary
// file is left.
void expectWhole(const QString &dir, const QStringList &pictures)
{
    QMap<QString, int> keys;
    QSet<QString> values;
    for (const QByteArray &line : test::fileContents(dir + QStringLiteral("/thumbs.dat")).split('\n')) {
        // Names may hold '=': the value is the path (or nothing) after the last '=' a path follows.
        qsizetype eq = line.lastIndexOf("=/");
        if (eq < 0 && line.endsWith('='))
            eq = line.size() - 1;
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
    // What older versions left, a true orphan, and files that only look alike:
    // a name the store never gives, a preview's name on another picture.
    test::writeFile(dir + QStringLiteral("/k00.THB.~Ab12Cd"), "half");
    writePicture(dir + QStringLiteral("/Thm7.THB"), 5, {60, 50});
    writePicture(dir + QStringLiteral("/NOTES.THB"), 5, {60, 50});
    writePicture(dir + QStringLiteral("/holiday.THB"), 5, {640, 480});
    const QStringList mine{QStringLiteral("notes.THB.bak"), QStringLiteral(".thm-notes"), QStringLiteral("NOTES.THB"),
                           QStringLiteral("holiday.THB")};
    QMap<QString, QByteArray> kept;
    for (const QString &name : mine) {
        if (!QFile::exists(dir + u'/' + name))
            test::writeFile(dir + u'/' + name, "mine");
        kept[name] = test::fileContents(dir + u'/' + name);
    }
    age(dir);

    const ToolRun run = runTool(dir);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    for (const QString &name : mine) {
        EXPECT_EQ(test::fileContents(dir + u'/' + name), kept[name]) << name.toStdString();
        QFile::remove(dir + u'/' + name);
    }
    expectWhole(dir, pictures);
}

TEST_F(PreviewStoreAttackTest, AwkwardNamesAndDataFilesKeepTheirEntries)
{
    // ']' in the folder's name, a byte-order mark before the first section.
    const QString dir = test::freshFolder(QStringLiteral("odd]name"));
    const QString longName = QString(246, u'x') + QStringLiteral(".bmp");
    const QStringList pictures{QStringLiteral("a.bmp"), longName, QStringLiteral("\x1b[2Jred.bmp")};
    writePicture(dir + QStringLiteral("/a.bmp"));
    ASSERT_TRUE(QFile::copy(dir + QStringLiteral("/a.bmp"), dir + u'/' + longName));
    ASSERT_TRUE(QFile::copy(dir + QStringLiteral("/a.bmp"), dir + QStringLiteral("/line\nbreak.bmp")));
    const QString escape = QStringLiteral("\x1b[2Jred.bmp");
    ASSERT_TRUE(QFile::copy(dir + QStringLiteral("/a.bmp"), dir + u'/' + escape));
    // Not even listed by the toolkit, yet named in its message.
    const QByteArray invalid = QFile::encodeName(dir) + "/bad\xff.bmp";
    ASSERT_EQ(::link(QFile::encodeName(dir + QStringLiteral("/a.bmp")).constData(), invalid.constData()), 0);
    test::writeFile(dir + QStringLiteral("/thumbs.dat"), "\xEF\xBB\xBF[" + QFile::encodeName(dir) + "/]\n");

    ToolRun run = runTool(dir);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QStringLiteral("Skipped line?break.bmp: its name cannot be stored")))
        << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QStringLiteral("Skipped bad\\xFF.bmp: its name cannot be stored")))
        << run.errors.toStdString();
    EXPECT_EQ(run.errors.count(QStringLiteral("Skipped ")), 2) << run.errors.toStdString();
    // A terminal is shown the escape sequence, never sent it.
    EXPECT_FALSE(run.output.contains('\x1b'));
    EXPECT_TRUE(run.output.contains("\\x{1b}[2Jred.bmp -> ")) << run.output.constData();
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

TEST_F(PreviewStoreAttackTest, ARacingWriterSwappingNamesForLinksHarmsNothingOutside)
{
    QStringList pictures;
    for (int i = 0; i < 30; ++i)
        pictures << QStringLiteral("r%1.bmp").arg(i, 2, 10, QChar(u'0'));
    for (const bool swapFolder : {false, true}) {
        for (const QStringList &options : {QStringList{}, QStringList{QStringLiteral("--for-size")}}) {
            const QString dir = folder(QStringLiteral("race"), pictures);
            int swaps = 0;
            ToolRun run;
            {
                const RacingWriter writer(dir, outside, swapFolder);
                run = runTool(dir, options);
                swaps = writer.swaps();
            }
            // It ends, well or as a failed write; the files outside keep every
            // byte and nothing new lies there (checked as every case ends).
            EXPECT_TRUE(run.exitCode == 0 || run.exitCode == 1) << run.errors.toStdString();
            EXPECT_GT(swaps, 0);
        }
    }
}

TEST_F(PreviewStoreAttackTest, ALockHeldElsewhereEndsTheBatchAsAFailedWriteAndASecondUserTakesIt)
{
    const QStringList pictures{QStringLiteral("a.bmp"), QStringLiteral("b.bmp")};
    const QString dir = folder(QStringLiteral("held"), pictures);
    const int lock = ::open(QFile::encodeName(dir + QStringLiteral("/.thumbs.dat.lock")).constData(),
                            O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    ToolRun run = runTool(dir);
    ::close(lock);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("Unable to write to ") + dir + QStringLiteral("/thumbs.dat")))
        << run.errors.toStdString();
    run = runTool(dir);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    expectWhole(dir, pictures);
    // The lock file stays, readable by all the umask allows.
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(dir + QStringLiteral("/.thumbs.dat.lock")).constData(), &st), 0);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);

    // A second user in a folder both may write: the first user's lock file,
    // data file and previews do not stand in its way.
    if (::geteuid() != 0)
        GTEST_SKIP() << "a second user needs root to be played";
    char shared[] = "/tmp/brisvale-shared-XXXXXX";
    ASSERT_NE(::mkdtemp(shared), nullptr);
    const QString both = QString::fromLocal8Bit(shared);
    ::chmod(shared, 0777);
    for (const QString &picture : pictures)
        ASSERT_TRUE(QFile::copy(dir + u'/' + picture, both + u'/' + picture));
    run = runTool(both);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    QProcess second;
    second.setChildProcessModifier([] {
        const gid_t nobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setresgid(nobody, nobody, nobody) != 0
            || ::setresuid(nobody, nobody, nobody) != 0)
            ::_exit(99);
    });
    second.start(QStringLiteral(MKPREVIEWS), {both});
    ASSERT_TRUE(second.waitForFinished(60000));
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().constData();
    expectWhole(both, pictures);
    QDir(both).removeRecursively();
}
