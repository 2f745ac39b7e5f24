#include <QApplication>

#include "game/TForm1.h"
#include "imaging/CodecBridge.h"
#include "platform/DialogService.h"
#include "platform/HelpService.h"
#include "platform/QtDialogService.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("brisvale"));
    QApplication::setApplicationDisplayName(QStringLiteral("Brisvale"));
    brisvale::platform::HelpService::setHelpFile(QStringLiteral("TANVIK.hlp"));

    brisvale::platform::QtDialogService dialogs;
    brisvale::platform::setDialogService(&dialogs);

    brisvale::LoadCodecLibrary();

    brisvale::TForm1 form;
    form.showMaximized();
    const int rc = app.exec();
    brisvale::platform::setDialogService(nullptr);
    return rc;
}
