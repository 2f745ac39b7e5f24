#include "controls/TSleeper.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace brisvale {
namespace {

// Timings are checked against the clock with room to spare: a wait must never
// end before its interval, and may end late on a loaded machine.
constexpr qint64 kEarlyMs = 2;   // clock granularity
constexpr qint64 kLateMs = 1500; // scheduling slack on a busy machine

qint64 timedSleepFor(TSleeper &sleeper, int ms)
{
    QElapsedTimer clock;
    clock.start();
    sleeper.SleepFor(ms);
    return clock.elapsed();
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

class CountingWidget : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *) override { ++paints; }
};

TEST(TSleeper, SleepForReplacesTheIntervalAndWaitsThatLong)
{
    TSleeper sleeper;
    sleeper.setInterval(2500);
    const qint64 elapsed = timedSleepFor(sleeper, 600);
    EXPECT_GE(elapsed, 600 - kEarlyMs);
    EXPECT_LT(elapsed, 2500); // not the old interval
    EXPECT_EQ(sleeper.Interval(), 600);

    // The same number again waits it again.
    const qint64 again = timedSleepFor(sleeper, 600);
    EXPECT_GE(again, 600 - kEarlyMs);
    EXPECT_LT(again, 600 + kLateMs);
}

TEST(TSleeper, SleepUsesTheInterval)
{
    TSleeper sleeper;
    EXPECT_EQ(sleeper.Interval(), 1000); // what a fresh component waits
    sleeper.setInterval(300);
    QElapsedTimer clock;
    clock.start();
    sleeper.Sleep();
    EXPECT_GE(clock.elapsed(), 300 - kEarlyMs);
    EXPECT_LT(clock.elapsed(), 300 + kLateMs);
    EXPECT_FALSE(sleeper.isWaiting());
}

TEST(TSleeper, TwoSuccessiveWaitsEachLastAFullInterval)
{
    TSleeper sleeper;
    const qint64 first = timedSleepFor(sleeper, 250);
    const qint64 second = timedSleepFor(sleeper, 250);
    EXPECT_GE(first, 250 - kEarlyMs);
    EXPECT_GE(second, 250 - kEarlyMs);
    EXPECT_LT(first + second, 500 + kLateMs);
}

TEST(TSleeper, ZeroOrNegativeIntervalReturnsAtOnce)
{
    TSleeper sleeper;
    EXPECT_LT(timedSleepFor(sleeper, 0), 200);
    EXPECT_EQ(sleeper.Interval(), 0);
    EXPECT_LT(timedSleepFor(sleeper, -40), 200);
    EXPECT_EQ(sleeper.Interval(), -40);
    QElapsedTimer clock;
    clock.start();
    sleeper.Sleep();
    EXPECT_LT(clock.elapsed(), 200);
    // A positive interval afterwards waits normally again.
    EXPECT_GE(timedSleepFor(sleeper, 100), 100 - kEarlyMs);
}

TEST(TSleeper, ClicksMenuCommandsAndPaintsAreHandledDuringTheWait)
{
    TSleeper sleeper;
    QWidget window;
    window.resize(200, 120);
    auto *button = new QPushButton(QStringLiteral("Deal"), &window);
    button->setGeometry(10, 10, 80, 30);
    auto *canvas = new CountingWidget;
    canvas->setParent(&window);
    canvas->setGeometry(10, 50, 80, 40);
    QAction command(QStringLiteral("Help"));
    window.show();
    QApplication::processEvents();

    QElapsedTimer clock;
    clock.start();
    qint64 clickedAt = -1;
    bool clickedWhileWaiting = false;
    QObject::connect(button, &QPushButton::clicked, [&] {
        clickedAt = clock.elapsed();
        clickedWhileWaiting = sleeper.isWaiting();
    });
    bool commandWhileWaiting = false;
    QObject::connect(&command, &QAction::triggered, [&] { commandWhileWaiting = sleeper.isWaiting(); });

    // All three are queued before the wait starts; only the wait's own event
    // processing can deliver them.
    const QPointF inside(20, 10);
    QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, inside, button->mapToGlobal(inside),
                                                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, inside, button->mapToGlobal(inside),
                                                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    QMetaObject::invokeMethod(&command, &QAction::trigger, Qt::QueuedConnection);
    const int paintsBefore = canvas->paints;
    canvas->update();

    sleeper.SleepFor(800);
    const qint64 waited = clock.elapsed();

    EXPECT_TRUE(clickedWhileWaiting);
    EXPECT_GE(clickedAt, 0);
    EXPECT_LT(clickedAt, 800); // handled at once, not after the wait
    EXPECT_TRUE(commandWhileWaiting);
    EXPECT_GT(canvas->paints, paintsBefore);
    EXPECT_GE(waited, 800 - kEarlyMs); // and the wait still lasted its interval
}

TEST(TSleeper, AHandlerRunningInsideTheWaitCanWaitToo)
{
    TSleeper sleeper;
    TSleeper other;
    qint64 innerWait = -1;
    QTimer::singleShot(50, [&] { innerWait = timedSleepFor(other, 200); });
    const qint64 outer = timedSleepFor(sleeper, 400);
    EXPECT_GE(innerWait, 200 - kEarlyMs);
    EXPECT_GE(outer, 400 - kEarlyMs);
    EXPECT_FALSE(sleeper.isWaiting());
    EXPECT_FALSE(other.isWaiting());
}

TEST(TSleeper, WaitingCostsLittleProcessorTime)
{
    TSleeper sleeper;
    const double cpuBefore = cpuSeconds();
    const qint64 wall = timedSleepFor(sleeper, 1000);
    const double cpu = cpuSeconds() - cpuBefore;
    EXPECT_GE(wall, 1000 - kEarlyMs);
    // A busy loop would spend about the whole second on the processor.
    EXPECT_LT(cpu, 0.2 * double(wall) / 1000.0) << "cpu " << cpu << " s over " << wall << " ms";
}

TEST(TSleeper, DestroyedDuringTheWaitEndsTheWait)
{
    auto *sleeper = new TSleeper;
    QTimer::singleShot(100, [&] { delete sleeper; });
    QElapsedTimer clock;
    clock.start();
    sleeper->SleepFor(5000);
    EXPECT_LT(clock.elapsed(), 4000);
}

} // namespace
} // namespace brisvale
