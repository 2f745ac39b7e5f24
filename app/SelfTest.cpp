#include "app/SelfTest.h"

#include "game/WinSounds.h"
#include "imaging/codec/Codec.h"
#include "platform/FileSystem.h"
#include "platform/WaveDevice.h"
#include "platform/WindowsDirectory.h"

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QTextStream>

namespace brisvale {

namespace fs = platform::fs;

int runSelfTest()
{
    QTextStream out(stdout);
    int failures = 0;
    const auto report = [&](bool ok, const QString &what, const QString &detail) {
        out << what << ": " << detail << (ok ? QString() : QStringLiteral(" (missing or unreadable)")) << '\n';
        failures += ok ? 0 : 1;
    };

    const QString folder = platform::windowsDirectory();
    report(fs::directoryExists(folder), QStringLiteral("data folder"), folder);

    // Read as the picture window reads it, so a damaged file counts as missing.
    const QString castle = fs::join(folder, QStringLiteral("CASTLE.BMP"));
    codec::Image picture;
    codec::Palette palette;
    const bool pictureRead = fs::fileExists(castle)
                             && codec::succeeded(
                                 codec::readBmpFile(QFile::encodeName(fs::resolve(castle)).toStdString(), 24, 0,
                                                    picture, palette, codec::Progress()));
    report(pictureRead, QStringLiteral("default picture"),
           pictureRead ? QStringLiteral("%1, %2 x %3").arg(castle).arg(picture.width()).arg(picture.height()) : castle);

    const QString chime = fs::join(folder, WinSounds::chimeName());
    report(fs::fileExists(chime) && platform::WaveDevice::load(fs::resolve(chime)).isValid(), QStringLiteral("chime"),
           chime);

    const QMainWindow *table = nullptr;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (auto *main = qobject_cast<QMainWindow *>(window); main && main->isVisible())
            table = main;
    report(table != nullptr, QStringLiteral("table"),
           table ? QLatin1Char('"') + table->windowTitle() + QLatin1Char('"') : QStringLiteral("no window shown"));
    out.flush();
    return failures == 0 ? 0 : 1;
}

} // namespace brisvale
