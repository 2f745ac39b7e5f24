// The thumbnail previewer making the previews of 40 photographs of 4000 x 3000
// pixels in one batch, through its real window on the offscreen platform. Besides
// the batch's time it reports the longest stretch in which the window handled
// no events (longest_pause_ms), which is what the player feels as a freeze.

#include "imaging/CodecBridge.h"
#include "platform/ScriptedDialogService.h"
#include "thumbs/DirectoryListBox.h"
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

void BM_CreateFortyPhotoPreviews(benchmark::State &state)
{
    const QString dir = photoFolder();
    if (dir.isEmpty()) {
        state.SkipWithError("could not write the photographs");
        return;
    }
    platform::ScriptedDialogService dialogs;
    platform::setDialogService(&dialogs);
    qint64 longest = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (const QString &name : QDir(dir).entryList({QStringLiteral("*.THB"), QStringLiteral("thumbs.dat")}))
            QFile::remove(dir + u'/' + name);
        TThumbForm form;
        form.DirectoryListBox1->setDirectory(dir);
        form.DataFileName = QStringLiteral("thumbs.dat");
        form.DataFileDir = dir;
        form.PreviewsDir = dir;
        form.show();
        (void)QTest::qWaitFor([&] { return form.isOpened(); });
        dialogs.queueConfirm(true);
        QElapsedTimer sinceLast;
        QTimer tick;
        tick.setInterval(5);
        QObject::connect(&tick, &QTimer::timeout, [&] { longest = std::max(longest, sinceLast.restart()); });
        state.ResumeTiming();

        sinceLast.start();
        tick.start();
        form.CreateNewDelete->click();
        tick.stop();
    }
    platform::setDialogService(nullptr);
    state.counters["longest_pause_ms"] = benchmark::Counter(double(longest));
}
BENCHMARK(BM_CreateFortyPhotoPreviews)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

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
