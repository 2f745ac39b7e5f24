#include "controls/TEStatusBar.h"
#include "controls/DockLayout.h"
#include "controls/SectionBevels.h"
#include "tests/support/Soon.h"

#include <QApplication>
#include <QLocale>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace brisvale {
namespace {

using enum TBevelCut;
using enum TSectionBevels;

// Keeps the process's default locale for the test and restores it after.
class LocaleScope {
public:
    explicit LocaleScope(const QLocale &locale) : saved_(QLocale()) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(saved_); }

private:
    QLocale saved_;
};

// Records every mouse press a widget receives, with its coordinates.
class PressLog : public QObject {
public:
    struct Press {
        QObject *receiver;
        QPoint pos;
        Qt::KeyboardModifiers modifiers;
    };
    std::vector<Press> presses;

    void watch(QObject *object) { object->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            presses.push_back({watched, mouse->position().toPoint(), mouse->modifiers()});
        }
        return false;
    }
};

// A window of its own holding one bar, as the game window holds its bar.
struct Fixture {
    QWidget window;
    TEStatusBar *bar;

    Fixture() : bar(new TEStatusBar(&window))
    {
        window.resize(640, 200);
        window.show();
        QApplication::processEvents();
    }
};

TEST(SectionBevels, EachStyleNamesItsOuterAndInnerBevel)
{
    EXPECT_EQ(sectionBevel(sbLow), (SectionBevel{bvLowered, bvNone}));
    EXPECT_EQ(sectionBevel(sbLowest), (SectionBevel{bvLowered, bvLowered}));
    EXPECT_EQ(sectionBevel(sbHigh), (SectionBevel{bvRaised, bvNone}));
    EXPECT_EQ(sectionBevel(sbHighest), (SectionBevel{bvRaised, bvRaised}));
    EXPECT_EQ(sectionBevel(sbIsUpDown), (SectionBevel{bvRaised, bvLowered}));
    EXPECT_EQ(sectionBevel(sbIsDownUp), (SectionBevel{bvLowered, bvRaised}));
    EXPECT_EQ(sectionBevel(sbNone), (SectionBevel{bvNone, bvNone}));
    EXPECT_EQ(int(sbNone), 6);
}

TEST(DockLayout, EdgesAreTakenTopBottomLeftRightThenClientInListOrder)
{
    const QRect client(0, 0, 300, 100);
    const std::vector<QRect> placed = dockRects(client, {
                                                            {TAlign::alLeft, QRect(50, 50, 40, 10)},
                                                            {TAlign::alClient, QRect()},
                                                            {TAlign::alLeft, QRect(0, 0, 60, 10)},
                                                            {TAlign::alBottom, QRect(0, 0, 10, 20)},
                                                            {TAlign::alRight, QRect(0, 0, 30, 10)},
                                                            {TAlign::alNone, QRect(7, 8, 9, 10)},
                                                            {TAlign::alTop, QRect(0, 0, 10, 15)},
                                                        });
    EXPECT_EQ(placed[6], QRect(0, 0, 300, 15));    // top first, full width
    EXPECT_EQ(placed[3], QRect(0, 80, 300, 20));   // bottom next
    EXPECT_EQ(placed[0], QRect(0, 15, 40, 65));    // first left at the edge
    EXPECT_EQ(placed[2], QRect(40, 15, 60, 65));   // second left beside it
    EXPECT_EQ(placed[4], QRect(270, 15, 30, 65));  // right
    EXPECT_EQ(placed[1], QRect(100, 15, 170, 65)); // the rest
    EXPECT_EQ(placed[5], QRect(7, 8, 9, 10));      // undocked stays put
}

TEST(DockLayout, RoomNeverGoesNegative)
{
    const std::vector<QRect> placed = dockRects(
        QRect(0, 0, 50, 20),
        {{TAlign::alLeft, QRect(0, 0, 40, 5)}, {TAlign::alLeft, QRect(0, 0, 40, 5)}, {TAlign::alClient, QRect()}});
    EXPECT_EQ(placed[1], QRect(40, 0, 40, 20));
    EXPECT_EQ(placed[2].width(), 0);
}

TEST(TEStatusBar, ConstructionState)
{
    Fixture f;
    TEStatusBar &bar = *f.bar;

    EXPECT_EQ(bar.height(), 25);
    EXPECT_EQ(bar.Align(), TAlign::alBottom);
    EXPECT_EQ(bar.geometry(), QRect(0, 175, 640, 25));

    // SectMainBevel reads sbLow but the bar keeps the panel's own bevels.
    EXPECT_EQ(bar.SectMainBevel(), sbLow);
    EXPECT_EQ(bar.BevelOuter(), bvRaised);
    EXPECT_EQ(bar.BevelInner(), bvNone);

    EXPECT_EQ(bar.SectDateBevel(), sbLow);
    EXPECT_EQ(bar.SectTimeBevel(), sbLow);
    for (TMyCustomPanel *section : {bar.dateSection(), bar.timeSection()}) {
        EXPECT_EQ(section->parentWidget(), &bar);
        EXPECT_EQ(section->BevelOuter(), bvLowered);
        EXPECT_EQ(section->BevelInner(), bvNone);
        EXPECT_EQ(section->Align(), TAlign::alLeft);
        EXPECT_TRUE(section->Caption().isEmpty());
    }
    EXPECT_EQ(bar.WidthDate(), 100);
    EXPECT_EQ(bar.WidthTime(), 100);
    EXPECT_EQ(bar.AlignDate(), TAlign::alLeft);
    EXPECT_EQ(bar.AlignTime(), TAlign::alLeft);

    // Docked left inside the bar's bevel, the date first and the time beside it.
    EXPECT_EQ(bar.dateSection()->geometry(), QRect(1, 1, 100, 23));
    EXPECT_EQ(bar.timeSection()->geometry(), QRect(101, 1, 100, 23));

    EXPECT_FALSE(bar.Enabled());
    EXPECT_EQ(bar.UpdateInterval(), 0);
    EXPECT_FALSE(bar.clockRunning());
    EXPECT_TRUE(bar.Caption().isEmpty());

    // No clock runs, so nothing ever fills the sections.
    QTest::qWait(60);
    EXPECT_TRUE(bar.dateSection()->Caption().isEmpty());
    EXPECT_TRUE(bar.timeSection()->Caption().isEmpty());
}

TEST(TEStatusBar, BevelSettersApplyTheTable)
{
    Fixture f;
    TEStatusBar &bar = *f.bar;

    bar.setSectMainBevel(sbLow);
    EXPECT_EQ(bar.BevelOuter(), bvLowered);
    EXPECT_EQ(bar.BevelInner(), bvNone);

    bar.setSectMainBevel(sbNone);
    EXPECT_EQ(bar.BevelOuter(), bvNone);
    EXPECT_EQ(bar.BevelInner(), bvNone);
    // With no bevel left, the sections reach the bar's edges.
    EXPECT_EQ(bar.dateSection()->geometry(), QRect(0, 0, 100, 25));

    bar.setSectMainBevel(sbIsUpDown);
    EXPECT_EQ(bar.timeSection()->geometry(), QRect(102, 2, 100, 21));

    bar.setSectTimeBevel(sbHighest);
    EXPECT_EQ(bar.SectTimeBevel(), sbHighest);
    EXPECT_EQ(bar.timeSection()->BevelOuter(), bvRaised);
    EXPECT_EQ(bar.timeSection()->BevelInner(), bvRaised);
    bar.setSectDateBevel(sbIsDownUp);
    EXPECT_EQ(bar.dateSection()->BevelOuter(), bvLowered);
    EXPECT_EQ(bar.dateSection()->BevelInner(), bvRaised);
}

TEST(TEStatusBar, WidthsAndDockingOfTheSections)
{
    Fixture f;
    TEStatusBar &bar = *f.bar;

    bar.setWidthDate(150);
    EXPECT_EQ(bar.dateSection()->width(), 150);
    EXPECT_EQ(bar.timeSection()->x(), 151);
    bar.setWidthTime(80);
    EXPECT_EQ(bar.timeSection()->width(), 80);

    bar.setAlignTime(TAlign::alRight);
    EXPECT_EQ(bar.timeSection()->geometry(), QRect(640 - 1 - 80, 1, 80, 23));
    EXPECT_EQ(bar.dateSection()->x(), 1);

    // The bar follows its window's bottom edge.
    f.window.resize(500, 300);
    QApplication::processEvents();
    EXPECT_EQ(bar.geometry(), QRect(0, 275, 500, 25));
    EXPECT_EQ(bar.timeSection()->x(), 500 - 1 - 80);
}

TEST(TEStatusBar, EnabledStartsAndStopsTheClock)
{
    Fixture f;
    TEStatusBar &bar = *f.bar;
    bar.setEnabled(true);
    EXPECT_TRUE(bar.Enabled());
    EXPECT_TRUE(bar.clockRunning());
    // A period of 0 runs at the platform's shortest period.
    EXPECT_EQ(bar.clockPeriod(), TEStatusBar::kMinimumPeriodMs);
    ASSERT_SOON(!bar.timeSection()->Caption().isEmpty(), 2000);
    EXPECT_FALSE(bar.dateSection()->Caption().isEmpty());
    // Enabled leaves the bar's mouse input alone.
    EXPECT_TRUE(bar.isEnabled());

    bar.setEnabled(false);
    EXPECT_FALSE(bar.Enabled());
    EXPECT_FALSE(bar.clockRunning());
    EXPECT_TRUE(bar.isEnabled());
    // The last date and time stay on show.
    const QString shown = bar.timeSection()->Caption();
    QTest::qWait(1100);
    EXPECT_EQ(bar.timeSection()->Caption(), shown);
}

TEST(TEStatusBar, UpdateIntervalRestartsTheClockAndEnablesIt)
{
    Fixture f;
    TEStatusBar &bar = *f.bar;

    bar.setUpdateInterval(250);
    EXPECT_TRUE(bar.Enabled());
    EXPECT_TRUE(bar.clockRunning());
    EXPECT_EQ(bar.UpdateInterval(), 250);
    EXPECT_EQ(bar.clockPeriod(), 250);

    bar.setEnabled(false);
    bar.setUpdateInterval(0);
    EXPECT_TRUE(bar.Enabled());
    EXPECT_EQ(bar.clockPeriod(), TEStatusBar::kMinimumPeriodMs);

    bar.setUpdateInterval(-30);
    EXPECT_EQ(bar.UpdateInterval(), -30);
    EXPECT_EQ(bar.clockPeriod(), TEStatusBar::kMinimumPeriodMs);

    // Enabled after a period uses that period.
    bar.setUpdateInterval(400);
    bar.setEnabled(false);
    EXPECT_EQ(bar.clockPeriod(), 0);
    bar.setEnabled(true);
    EXPECT_EQ(bar.clockPeriod(), 400);
}

TEST(TEStatusBar, OnTimerRunsBeforeTheDateAndTimeChange)
{
    const LocaleScope english(QLocale(QLocale::English, QLocale::UnitedStates));
    Fixture f;
    TEStatusBar &bar = *f.bar;
    QDateTime now(QDate(1999, 1, 2), QTime(15, 4, 5));
    bar.setClock([&] { return now; });

    std::vector<QString> seenDates;
    std::vector<QString> seenTimes;
    QObject *sender = nullptr;
    bar.setOnTimer([&](QObject *s) {
        sender = s;
        seenDates.push_back(bar.dateSection()->Caption());
        seenTimes.push_back(bar.timeSection()->Caption());
        now = now.addSecs(1);
    });
    bar.setUpdateInterval(20);
    ASSERT_SOON(seenTimes.size() >= 2, 2000);
    bar.setEnabled(false);

    EXPECT_EQ(sender, &bar);
    // The first tick's handler saw the empty sections, the second the first
    // tick's text.
    EXPECT_EQ(seenDates[0], QString());
    EXPECT_EQ(seenTimes[0], QString());
    EXPECT_EQ(seenDates[1], QStringLiteral("1/2/99"));
    EXPECT_EQ(seenTimes[1], QStringLiteral("3:04:06 PM"));
    // Each tick shows the time its handler left on the clock.
    EXPECT_EQ(bar.timeSection()->Caption(), QLocale().toString(now.time(), QStringLiteral("h:mm:ss AP")));
}

TEST(TEStatusBar, DateAndTimeFollowTheLocale)
{
    const QDateTime moment(QDate(2024, 11, 30), QTime(9, 5, 7));
    {
        const LocaleScope german(QLocale(QLocale::German, QLocale::Germany));
        Fixture f;
        f.bar->setClock([&] { return moment; });
        f.bar->setEnabled(true);
        ASSERT_SOON(!f.bar->timeSection()->Caption().isEmpty(), 2000);
        EXPECT_EQ(f.bar->dateSection()->Caption(), QStringLiteral("30.11.24"));
        EXPECT_EQ(f.bar->timeSection()->Caption(), QStringLiteral("09:05:07"));
    }
    {
        const LocaleScope english(QLocale(QLocale::English, QLocale::UnitedStates));
        Fixture f;
        f.bar->setClock([&] { return moment; });
        f.bar->setEnabled(true);
        ASSERT_SOON(!f.bar->timeSection()->Caption().isEmpty(), 2000);
        EXPECT_EQ(f.bar->dateSection()->Caption(), QStringLiteral("11/30/24"));
        EXPECT_EQ(f.bar->timeSection()->Caption(), QStringLiteral("9:05:07 AM"));
    }
}

TEST(TEStatusBar, LongTimeFormatDropsOnlyTheZone)
{
    for (const QLocale &locale :
         {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German, QLocale::Germany),
          QLocale(QLocale::French, QLocale::France), QLocale::c()}) {
        const QString format = longTimeFormat(locale);
        EXPECT_FALSE(format.contains(u't')) << format.toStdString();
        EXPECT_TRUE(format.contains(QStringLiteral("ss"))) << format.toStdString();
        EXPECT_EQ(format, format.trimmed());
    }
}

TEST(TEStatusBar, LeftPressOnASectionReachesTheBarThenTheWindow)
{
    Fixture f;
    PressLog log;
    log.watch(f.bar);
    log.watch(&f.window);

    QTest::mousePress(f.bar->timeSection(), Qt::LeftButton, Qt::ShiftModifier, QPoint(7, 5));
    QTest::mouseRelease(f.bar->timeSection(), Qt::LeftButton, Qt::ShiftModifier, QPoint(7, 5));

    ASSERT_EQ(log.presses.size(), 2u);
    EXPECT_EQ(log.presses[0].receiver, f.bar);
    EXPECT_EQ(log.presses[1].receiver, &f.window);
    // The section's own coordinates, not translated, and the same key state.
    for (const PressLog::Press &press : log.presses) {
        EXPECT_EQ(press.pos, QPoint(7, 5));
        EXPECT_EQ(press.modifiers, Qt::ShiftModifier);
    }
}

TEST(TEStatusBar, LeftPressOnTheBarReachesTheWindow)
{
    Fixture f;
    PressLog log;
    log.watch(&f.window);
    QTest::mouseClick(f.bar, Qt::LeftButton, {}, QPoint(400, 12));
    ASSERT_EQ(log.presses.size(), 1u);
    EXPECT_EQ(log.presses[0].pos, QPoint(400, 12));
}

TEST(TEStatusBar, MessageShowsForAWhileAndLeavesTheCaption)
{
    Fixture f;
    TEStatusBar &bar = *f.bar;
    bar.setCaption(QStringLiteral("Brisvale for Windows 95"));

    bar.showMessage(QStringLiteral("first"), 5000);
    bar.showMessage(QStringLiteral("Sound could not be played"), 80);
    EXPECT_EQ(bar.message(), QStringLiteral("Sound could not be played"));
    EXPECT_EQ(bar.Caption(), QStringLiteral("Brisvale for Windows 95"));
    ASSERT_SOON(bar.message().isEmpty(), 2000);
    EXPECT_EQ(bar.Caption(), QStringLiteral("Brisvale for Windows 95"));

    bar.showMessage(QStringLiteral("stays"), 0);
    QTest::qWait(100);
    EXPECT_EQ(bar.message(), QStringLiteral("stays"));
    bar.clearMessage();
    EXPECT_TRUE(bar.message().isEmpty());
}

TEST(TEStatusBar, PaintsTheMessageInsteadOfTheCaption)
{
    Fixture f;
    TEStatusBar &bar = *f.bar;
    bar.setCaption(QStringLiteral("Brisvale for Windows 95"));
    const QImage captionShot = bar.grab().toImage();
    bar.showMessage(QStringLiteral("No sound"));
    const QImage messageShot = bar.grab().toImage();
    bar.clearMessage();
    EXPECT_NE(captionShot, messageShot);
    EXPECT_EQ(bar.grab().toImage(), captionShot);
}

} // namespace
} // namespace brisvale
