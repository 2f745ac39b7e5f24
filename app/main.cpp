#include <QApplication>

#include "app/Startup.h"
#include "imaging/CodecBridge.h"
#include "platform/DialogService.h"
#include "platform/QtDialogService.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    brisvale::setUpApplication();

    brisvale::platform::QtDialogService dialogs;
    brisvale::platform::setDialogService(&dialogs);

    brisvale::LoadCodecLibrary();

    int rc = 0;
    {
        brisvale::ProgramWindows windows;
        windows.show();
        rc = app.exec();
    }
    brisvale::platform::setDialogService(nullptr);
    return rc;
}
