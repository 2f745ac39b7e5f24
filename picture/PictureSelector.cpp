#include "picture/PictureSelector.h"

#include "game/RandomGenerator.h"
#include "platform/FileSystem.h"

namespace brisvale {

namespace fs = platform::fs;

namespace {
const QString kLoadPrefix = QStringLiteral("Right Mouse Menu, Left Exits ");
}

QString PictureSelector::upperAscii(const QString &text) { return fs::upperAscii(text); }

void PictureSelector::applyMaskRule(const QString &upperExt, QString &fileMask)
{
    for (const char *known : {".JPG", ".GIF", ".BMP", ".PCX", ".WEBP", ".AVIF", ".HEIC", ".HEIF"}) {
        if (upperExt == QLatin1String(known))
            fileMask = QLatin1Char('*') + upperExt;
    }
}

QString PictureSelector::upperExtension(const QString &path) { return upperAscii(fs::extensionOf(path)); }

bool PictureSelector::modeFromCode(int code, PictureMode &mode)
{
    if (code < 1 || code > 3)
        return false;
    mode = PictureMode(code);
    return true;
}

PictureSelection PictureSelector::select(PictureState &state)
{
    if (!fs::fileExists(state.currentPicture)) {
        PictureSelection s;
        s.message = QStringLiteral("You will need to first select a picture file");
        return s;
    }
    switch (state.mode) {
    case PictureMode::Fixed: {
        PictureSelection s;
        s.captions << QStringLiteral("Right Mouse Menu, Left Exit ") + state.currentPicture;
        s.path = state.currentPicture;
        s.load = true;
        return s;
    }
    case PictureMode::Random: return selectRandom(state);
    case PictureMode::Sequential: return selectSequential(state);
    }
    return {};
}

QString PictureSelector::scanFolder(PictureState &state)
{
    // The folder as it is on disk: another spelling could name a sibling
    // that differs only in letter case.
    QString folder = fs::folderOf(fs::resolve(state.currentPicture));
    state.currentExt = upperExtension(state.currentPicture);
    applyMaskRule(state.currentExt, state.fileMask);
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

PictureSelection PictureSelector::selectRandom(PictureState &state)
{
    if (clock_)
        generator_.seedFromTime(clock_());
    else
        generator_.seedFromClock();
    const QString folder = scanFolder(state);
    // Folders are never pictures, so only files are counted and drawn.
    const QStringList entries = fs::findFiles(folder, state.fileMask, fs::Entries::Files);
    const qsizetype n = entries.size();
    const qsizetype p = 1 + qsizetype(generator_.drawBelow(std::uint32_t(n)));

    PictureSelection s;
    const QString name = p <= n ? entries.at(p - 1) : QString();
    s.captions << QStringLiteral("%1 %2/%3 Files ").arg(name).arg(p).arg(n);
    if (p > n) {
        s.message = QStringLiteral("File Error unable to display the Pic ");
        return s;
    }
    s.captions << kLoadPrefix + folder + name;
    s.path = folder + name;
    s.load = true;
    return s;
}

PictureSelection PictureSelector::selectSequential(PictureState &state)
{
    const QString folder = scanFolder(state);
    const QStringList entries = fs::findFiles(folder, state.fileMask, fs::Entries::Files);
    const QString first = entries.isEmpty() ? folder : folder + entries.first();
    // The file itself first; a name that differs only in case counts only
    // when the remembered one is no longer there under its own spelling, or
    // two such names would lead to each other for ever.
    const QString name = fs::fileNameOf(fs::resolve(state.currentPicture));
    qsizetype found = entries.indexOf(name);
    for (qsizetype i = 0; found < 0 && i < entries.size(); ++i) {
        if (upperAscii(entries[i]) == upperAscii(name))
            found = i;
    }
    if (found >= 0 && found + 1 < entries.size())
        state.currentPicture = folder + entries[found + 1];
    else
        state.currentPicture = first; // not found, or wrapping round from the last

    PictureSelection s;
    s.path = state.currentPicture;
    s.show = true;
    s.captions << kLoadPrefix + state.currentPicture;
    return s;
}

} // namespace brisvale
