// The thumbnail previewer making the previews of 40 photographs of 4000 x 3000
// pixels in one batch, through its real window on the offscreen platform. Besides
// the batch's time it reports the longest stretch in which the window handled
// no events (longest_pause_ms), which is what the player feels as a freeze.
// Each is run with an empty data file and with one of 50 MB that other folders
// share, and the Stop button's delay is measured the same two ways.

#include "imaging/CodecBridge.h"
#include "platform/ScriptedDialogService.h"
#include "thumbs/DirectoryListBox.h"
#include "thumbs/PreviewStore.h"
#include "thumbs/TThumbForm.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <benchmark/benchmark.h>
#include <cmath>

using namespace brisvale;

namespace {

constexpr int kPhotos = 40;

const QString &photoFolder()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/previewer-bench-XXXXXX"));
    static const bool made = [] {
        QImage image(4000, 3000, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                row[x] = qRgb(int(128 + 127 * std::sin(x * 0.01)), (x * y) >> 14 & 255, (x * 7 + y * 13) & 255);
        }
        Bitmap bitmap;
        bitmap.setImage(image);
        const QString first = dir.path() + QStringLiteral("/photo00.jpg");
        if (!WriteJPGFile(first, 90, 0, 24, bitmap, CodecProgress()))
            return false;
        for (int i = 1; i < kPhotos; ++i)
            QFile::copy(first, dir.path() + QStringLiteral("/photo%1.jpg").arg(i, 2, 10, QChar(u'0')));
        return true;
    }();
    static const QString path = made ? dir.path() : QString();
    return path;
}

// A data file shared with other folders, of about `megabytes` MB: sections of
// 100 entries each, none for the folder being made.
QByteArray sharedDataFile(int megabytes)
{
    QByteArray text;
    text.reserve(qsizetype(megabytes) << 20);
    for (int folder = 0; text.size() < (qsizetype(megabytes) << 20); ++folder) {
        const QByteArray dir = "/srv/pictures/album" + QByteArray::number(folder) + '/';
        text += '[' + dir + "]\n";
        for (int i = 0; i < 100; ++i) {
            const QByteArray n = QByteArray::number(i);
            text += dir + "photo" + n + ".jpg=" + dir + "photo" + n + ".thb\n";
        }
    }
    return text;
}

// Clears the folder of what a run made and puts the data file in place.
void prepare(const QString &dir, const QByteArray &dataFile)
{
    for (const QString &name : QDir(dir).entryList({QStringLiteral("*.THB"), QStringLiteral("thumbs.dat")}))
        QFile::remove(dir + u'/' + name);
    if (!dataFile.isEmpty()) {
        QFile file(dir + QStringLiteral("/thumbs.dat"));
        if (file.open(QIODevice::WriteOnly))
            file.write(dataFile);
    }
}

// Opens the previewer on the folder, with the data file and previews there.
void openOn(TThumbForm &form, const QString &dir)
{
    form.DirectoryListBox1->setDirectory(dir);
    form.DataFileName = QStringLiteral("thumbs.dat");
    form.DataFileDir = dir;
    form.PreviewsDir = dir;
    form.show();
    (void)QTest::qWaitFor([&] { return form.isOpened(); });
}

// Runs `batch` once an iteration on a fresh previewer window over the forty
// photographs, the create question answered yes, with state.range(0)
// megabytes of other folders' entries in the data file. `batch` sets up what
// it watches, resumes the timing and starts the batch.
template <typename Batch>
void onFreshPreviewer(benchmark::State &state, Batch batch)
{
    const QString dir = photoFolder();
    if (dir.isEmpty()) {
        state.SkipWithError("could not write the photographs");
        return;
    }
    const QByteArray dataFile = state.range(0) > 0 ? sharedDataFile(int(state.range(0))) : QByteArray();
    platform::ScriptedDialogService dialogs;
    platform::setDialogService(&dialogs);
    for (auto _ : state) {
        state.PauseTiming();
        prepare(dir, dataFile);
        TThumbForm form;
        openOn(form, dir);
        dialogs.queueConfirm(true);
        batch(form);
    }
    platform::setDialogService(nullptr);
}

// Argument: megabytes of other folders' entries in the data file.
void BM_CreateFortyPhotoPreviews(benchmark::State &state)
{
    qint64 longest = 0;
    onFreshPreviewer(state, [&](TThumbForm &form) {
        QElapsedTimer sinceLast;
        QTimer tick;
        tick.setInterval(5);
        QObject::connect(&tick, &QTimer::timeout, [&] { longest = std::max(longest, sinceLast.restart()); });
        state.ResumeTiming();

        sinceLast.start();
        tick.start();
        form.CreateNewDelete->click();
        tick.stop();
    });
    state.counters["longest_pause_ms"] = benchmark::Counter(double(longest));
}
BENCHMARK(BM_CreateFortyPhotoPreviews)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

// How long the Stop button takes to end a batch, clicked once ten previews are
// made; the argument is the data file's size in MB as above.
void BM_StopEndsTheBatch(benchmark::State &state)
{
    double slowest = 0;
    onFreshPreviewer(state, [&](TThumbForm &form) {
        QElapsedTimer sinceStop;
        QTimer watch;
        watch.setInterval(1);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (!sinceStop.isValid() && form.store().imageCount() >= 10) {
                sinceStop.start();
                form.StopBtn->click();
            }
        });
        state.ResumeTiming();
        watch.start();
        form.CreateNewDelete->click();
        watch.stop();
        if (sinceStop.isValid())
            slowest = std::max(slowest, double(sinceStop.nsecsElapsed()) / 1e6);
    });
    state.counters["stop_ms"] = benchmark::Counter(slowest);
}
BENCHMARK(BM_StopEndsTheBatch)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
