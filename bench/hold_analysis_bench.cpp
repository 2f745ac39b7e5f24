// The Hold Analysis window opened by the A key at the table, through the real
// windows on the offscreen platform: from the key press until the 32 holds
// are listed and painted. The first open of a run comes before the odds are
// set up; it reports when the window was up (visible_ms) and when it was
// filled (filled_ms). The others come after a fresh deal, as in play.

#include "game/RandomGenerator.h"
#include "game/TForm1.h"
#include "game/THoldAnalysis.h"
#include "odds/HoldOdds.h"
#include "platform/ScriptedDialogService.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <benchmark/benchmark.h>

using namespace brisvale;

namespace {

TForm1 &table()
{
    static platform::ScriptedDialogService dialogs;
    static TForm1 *form = [] {
        platform::setDialogService(&dialogs);
        auto *f = new TForm1;
        f->RadioButton4->setChecked(true); // no picture pause after a win
        f->show();
        QApplication::setActiveWindow(f);
        randomGenerator().setSeed(1);
        return f;
    }();
    return *form;
}

// Presses A at the table; the milliseconds until the window is painted with
// all holds listed, and until it was first shown.
std::pair<double, double> openByKey(TForm1 &form)
{
    THoldAnalysis &window = *form.HoldAnalysis1;
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(&form, Qt::Key_A);
    window.repaint();
    const double visible = double(clock.nsecsElapsed()) / 1e6;
    while (window.HoldList->rowCount() != kHoldCount)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    window.repaint();
    return {visible, double(clock.nsecsElapsed()) / 1e6};
}

void newHand(TForm1 &form)
{
    form.HoldAnalysis1->hide();
    QApplication::setActiveWindow(&form);
    if (form.game().phase() == PokerGame::Phase::Dealt)
        form.SecondClick();
    form.ShuffleClick();
    QApplication::processEvents();
}

void FirstOpenWhileTheOddsAreSetUp(benchmark::State &state)
{
    TForm1 &form = table();
    for (auto _ : state) {
        if (HoldOdds::sharedIfReady()) {
            state.SkipWithError("the odds were already set up");
            return;
        }
        state.PauseTiming();
        newHand(form);
        state.ResumeTiming();
        const auto [visible, filled] = openByKey(form);
        state.counters["visible_ms"] = visible;
        state.counters["filled_ms"] = filled;
    }
}
BENCHMARK(FirstOpenWhileTheOddsAreSetUp)->Iterations(1)->Unit(benchmark::kMillisecond);

void OpenOnAFreshDeal(benchmark::State &state)
{
    TForm1 &form = table();
    HoldOdds::shared();
    double slowest = 0;
    for (auto _ : state) {
        state.PauseTiming();
        newHand(form);
        state.ResumeTiming();
        slowest = std::max(slowest, openByKey(form).second);
    }
    state.counters["slowest_ms"] = slowest;
}
BENCHMARK(OpenOnAFreshDeal)->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
