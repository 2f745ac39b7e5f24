#include <QApplication>
#include <QScreen>
#include <QTimer>

#include "ProgramHelp.h"
#include "app/CommandLine.h"
#include "app/SelfTest.h"

#include "game/TForm1.h"
#include "game/Tsetpay.h"
#include "imaging/CodecBridge.h"
#include "picture/TPicture.h"
#include "platform/DialogService.h"
#include "platform/HelpService.h"
#include "platform/QtDialogService.h"

int main(int argc, char **argv)
{
    // Answered before the application object exists, so they need no display.
    if (const auto status = brisvale::cli::answerStandardOptions(argc, argv, brisvale::program::kHelp,
                                                                 brisvale::program::kVersion))
        return *status;
    const bool selfTest = brisvale::cli::hasOption(argc, argv, "--self-test");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("brisvale"));
    QApplication::setApplicationDisplayName(QStringLiteral("Brisvale"));
    brisvale::platform::HelpService::setHelpFile(QStringLiteral("TANVIK.hlp"));

    brisvale::platform::QtDialogService dialogs;
    brisvale::platform::setDialogService(&dialogs);

    brisvale::LoadCodecLibrary();

    int rc = 0;
    {
        // The windows live for the whole run, in this order; the picture window
        // stores its settings when it is destroyed, before the dialogs go.
        brisvale::TForm1 form;
        brisvale::Tsetpay payouts(form.game().payouts(), form.PictureFlags, &form);
        form.setPayoutsDialog(&payouts);
        payouts.setSoundTable([&form](int k) { return form.winSounds().entry(k); },
                              [&form](int k, const QString &path) { form.SoundChosen(k, path); });
        brisvale::TPicture picture;
        form.setPictureWindow([&picture] { picture.showModal(); });

        // Without a window manager a maximize request does nothing, so start at
        // the full working area and let one that exists maximize as usual.
        if (QScreen *screen = QApplication::primaryScreen())
            form.setGeometry(screen->availableGeometry());
        form.showMaximized();
        if (selfTest)
            QTimer::singleShot(0, [] { QApplication::exit(brisvale::runSelfTest()); });
        rc = app.exec();
    }
    brisvale::platform::setDialogService(nullptr);
    return rc;
}
