#pragma once

#include <QString>
#include <QStringList>
#include <QTime>
#include <functional>

namespace brisvale {

class RandomGenerator;

enum class PictureMode { Fixed = 1, Random = 2, Sequential = 3 };

// The picture window's memory of what to show; it lives for the whole run.
struct PictureState {
    QString currentPicture = QStringLiteral("Error"); // "Error": none chosen
    PictureMode mode = PictureMode::Random;
    QString fileMask = QStringLiteral("*.BMP");
    QString currentExt;
    QString lastPicture;
    bool thumbnailsUsed = false;
};

// What one selection asks the window to do, in order: set the captions, show a
// message, then load (with the hourglass) or just show the path.
struct PictureSelection {
    QStringList captions;
    QString message;
    QString path;
    bool load = false;
    bool show = false;
};

// Chooses the picture to show by the mode: the remembered one, a random one of
// its type from its folder, or the next one in the folder's listing.
class PictureSelector {
public:
    explicit PictureSelector(RandomGenerator &generator) : generator_(generator) {}

    PictureSelection select(PictureState &state);

    // The UTC time of day random mode seeds from; the system clock unless a
    // test hands in its own.
    void setClock(std::function<QTime()> clock) { clock_ = std::move(clock); }

    // Upper case of the letters a..z only.
    static QString upperAscii(const QString &text);
    // ".JPG", ".GIF", ".BMP", ".PCX" and the phone kinds (".WEBP", ".AVIF",
    // ".HEIC", ".HEIF") set the mask; anything else keeps it.
    static void applyMaskRule(const QString &upperExt, QString &fileMask);
    // The upper-cased extension of a path, with its dot.
    static QString upperExtension(const QString &path);
    // Stored mode code; anything but 1, 2 or 3 gives nothing.
    static bool modeFromCode(int code, PictureMode &mode);

private:
    PictureSelection selectRandom(PictureState &state);
    PictureSelection selectSequential(PictureState &state);
    // Folder of the remembered picture, as spelt on disk, with a trailing
    // separator; also refreshes the extension and the mask.
    static QString scanFolder(PictureState &state);

    RandomGenerator &generator_;
    std::function<QTime()> clock_;
};

} // namespace brisvale
