#include "app/Startup.h"

#include "game/TForm1.h"
#include "game/Tsetpay.h"
#include "picture/TPicture.h"
#include "platform/HelpService.h"
#include "platform/ScriptedDialogService.h"

#include <QApplication>
#include <QTimer>
#include <qpa/qplatformwindow.h>

#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace brisvale;

namespace {

// The title a desktop shows for a window: the window-system layer hands the
// window manager this text (_NET_WM_NAME on X11), not the widget's own title.
struct DesktopTitle : QPlatformWindow {
    static QString of(const QWidget &w) { return formatWindowTitle(w.windowTitle(), QStringLiteral(" \u2014 ")); }
};

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setDialogService(&dialogs);
        setUpApplication();
    }
    void TearDown() override { platform::setDialogService(nullptr); }

    platform::ScriptedDialogService dialogs;
};

} // namespace

TEST_F(ProgramTest, DesktopShowsEachWindowsOwnCaptionAndNothingMore)
{
    ProgramWindows windows;
    EXPECT_EQ(DesktopTitle::of(windows.form()), QStringLiteral("Brisvale for Windows 95 Version 2.10"));
    EXPECT_EQ(DesktopTitle::of(windows.payouts()), QStringLiteral("Set Winning Payouts and Sounds"));
    // The picture window's caption is its status line: the desktop must show
    // exactly that line.
    EXPECT_FALSE(windows.picture().windowTitle().isEmpty());
    EXPECT_EQ(DesktopTitle::of(windows.picture()), windows.picture().windowTitle());
}

TEST_F(ProgramTest, ClosingTheTableEndsTheProgramWithTheHelpWindowOpen)
{
    ProgramWindows windows;
    windows.show();
    QWidget *help = platform::HelpService::showContext(1);
    ASSERT_TRUE(help && help->isVisible());

    bool stillRunning = false;
    QTimer::singleShot(0, &windows.form(), [&] { windows.form().close(); });
    QTimer failsafe;
    failsafe.setSingleShot(true);
    QObject::connect(&failsafe, &QTimer::timeout, [&] {
        stillRunning = true;
        QApplication::quit();
    });
    failsafe.start(10000);
    QApplication::exec();
    EXPECT_FALSE(stillRunning);
}
