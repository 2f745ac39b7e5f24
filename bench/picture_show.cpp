// One showing of a picture in the reward window, timed from the moment the
// window is asked to show it until the fitted picture has been painted.
// Prints the milliseconds on standard output; the comparison script runs it
// many times and reads the process's peak memory from outside.
//   picture_show PICTURE

#include "imaging/CodecBridge.h"
#include "imaging/TImageView.h"
#include "picture/TPicture.h"
#include "platform/DialogService.h"
#include "platform/ScriptedDialogService.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: picture_show PICTURE\n");
        return 2;
    }
    brisvale::platform::ScriptedDialogService dialogs;
    brisvale::platform::setDialogService(&dialogs);
    brisvale::LoadCodecLibrary();

    int rc = 0;
    {
        brisvale::TPicture window;
        window.resize(1280, 1024);
        window.show();
        while (!window.windowHandle()->isExposed())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::processEvents();

        window.state().currentPicture = QString::fromLocal8Bit(argv[1]);
        window.FixedPicture1Click();
        bool painted = false;
        window.ImageView1->OnPaint = [&] { painted = !window.ImageView1->Picture().isEmpty(); };

        QElapsedTimer clock;
        clock.start();
        window.FormActivate();
        while (!painted && dialogs.texts().isEmpty())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        const double ms = double(clock.nsecsElapsed()) / 1e6;

        if (!dialogs.texts().isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(dialogs.texts().join(u'\n')));
            rc = 1;
        } else {
            const QRect box = window.ImageView1->geometry();
            std::fprintf(stderr, "shown %dx%d at %d,%d\n", box.width(), box.height(), box.x(), box.y());
            std::printf("%.1f\n", ms);
        }
    }
    brisvale::platform::setDialogService(nullptr);
    return rc;
}
