#include "imaging/MediaTypes.h"

#include <QList>
#include <QMediaFormat>

namespace brisvale {

namespace {

std::function<bool(const QString &)> &probe()
{
    static std::function<bool(const QString &)> p;
    return p;
}

bool backendDecodes(const QString &extension)
{
    static const QList<QMediaFormat::FileFormat> formats = QMediaFormat().supportedFileFormats(QMediaFormat::Decode);
    const QString ext = extension.toUpper();
    QMediaFormat::FileFormat wanted;
    if (ext == QLatin1String("WAV"))
        wanted = QMediaFormat::Wave;
    else if (ext == QLatin1String("AVI"))
        wanted = QMediaFormat::AVI;
    else if (ext == QLatin1String("MOV"))
        wanted = QMediaFormat::QuickTime;
    else
        return false; // MIDI (MID, RMI) has no decoder in the media backend.
    return formats.contains(wanted);
}

} // namespace

bool HasMciHandler(const QString &extension)
{
    if (probe())
        return probe()(extension);
    return backendDecodes(extension);
}

void SetMediaHandlerProbe(std::function<bool(const QString &)> p) { probe() = std::move(p); }

QString MediaFilter()
{
    struct Media {
        const char *ext;
        const char *label;
    };
    static const Media media[] = {{"WAV", "Wav"}, {"MID", "Mid"}, {"RMI", "RMI"}, {"AVI", "AVI"}, {"MOV", "Mov"}};
    bool handled[5];
    for (int i = 0; i < 5; ++i)
        handled[i] = HasMciHandler(QLatin1String(media[i].ext));
    QString filter = QStringLiteral("All Media|*.BMP;*.CMS;*.GIF;*.JPG;*.PCX;*.PNG;*.SCM;*.TIF;");
    for (int i = 0; i < 5; ++i)
        if (handled[i])
            filter += QStringLiteral("*.%1;").arg(QLatin1String(media[i].ext));
    filter += QStringLiteral(
        "|BMP|*.BMP|CMS|*.CMS|GIF|*.GIF|JPG|*.JPG|PCX|*.PCX|PNG|*.PNG|RTF|*.RTF|SCM|*.SCM|TIF|*.TIF");
    for (int i = 0; i < 5; ++i)
        if (handled[i])
            filter += QStringLiteral("|%1|*.%2").arg(QLatin1String(media[i].label), QLatin1String(media[i].ext));
    return filter;
}

} // namespace brisvale
