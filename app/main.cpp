#include <QApplication>
#include <QString>
#include <QTimer>

#include "ProgramHelp.h"
#include "app/CommandLine.h"
#include "app/SelfTest.h"

#include "app/Startup.h"
#include "imaging/CodecBridge.h"
#include "platform/AltKeyEchoes.h"
#include "platform/DialogService.h"
#include "platform/DisplayCheck.h"
#include "platform/FixedDialog.h"
#include "platform/QtDialogService.h"

int main(int argc, char **argv)
{
    // Answered before the application object exists, so they need no display.
    if (const auto status = brisvale::cli::answerStandardOptions(argc, argv, brisvale::program::kHelp,
                                                                 brisvale::program::kVersion))
        return *status;
    const bool selfTest = brisvale::cli::hasOption(argc, argv, "--self-test");

    QApplication app(argc, argv);
    brisvale::setUpApplication();
    // Said on the terminal: no window could show it.
    if (const QString unsupported = brisvale::platform::unpaintableDisplayText(); !unsupported.isEmpty()) {
        qCritical("%s", qPrintable(unsupported));
        return 1;
    }

    brisvale::platform::QtDialogService dialogs;
    brisvale::platform::setDialogService(&dialogs);
    brisvale::platform::ModalWindowKeeper keeper;
    app.installEventFilter(&keeper);
    brisvale::platform::AltKeyEchoes altEchoes;
    app.installEventFilter(&altEchoes);

    brisvale::LoadCodecLibrary();

    int rc = 0;
    {
        brisvale::ProgramWindows windows;
        windows.show();
        if (selfTest)
            QTimer::singleShot(0, [] { QApplication::exit(brisvale::runSelfTest()); });
        rc = app.exec();
    }
    brisvale::platform::setDialogService(nullptr);
    return rc;
}
