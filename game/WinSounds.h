#pragma once

#include "platform/WaveFile.h"

#include <QString>
#include <array>
#include <functional>
#include <memory>

namespace brisvale {

namespace platform {
class WaveDevice;
}

// What became of the sound of one won hand.
struct WinSoundResult {
    bool opened = false; // the device took the file; when false, sound is to be switched off
    bool played = false; // a sound is now playing
    QString failureText; // for the player; empty when nothing failed
};

// The sounds of won hands: one wave file per winning hand rank, the fallbacks
// when a rank has none, and the wave device they play on. Knows nothing of
// windows; the game tells it which rank was won and whether sound is on.
class WinSounds {
public:
    static constexpr int kEntries = 9;
    // The table's word for "no sound chosen for this rank".
    static QString noSound() { return QStringLiteral("Error"); }
    static QString coinsName() { return QStringLiteral("coins.Wav"); }
    static QString chimeName() { return QStringLiteral("CHIMES.WAV"); }

    // Entry k (1..9) as stored; the default for an absent one is noSound().
    using Reader = std::function<QString(int k)>;

    explicit WinSounds(std::unique_ptr<platform::WaveDevice> device);
    ~WinSounds();

    platform::WaveDevice &device() { return *device_; }
    // Replaces the device; the old one is closed with whatever it was playing.
    void setDevice(std::unique_ptr<platform::WaveDevice> device);
    void setReader(Reader reader) { reader_ = std::move(reader); }

    // Fills the table from the reader; without one the table stays as it is
    // (every entry noSound() until set).
    void reload();
    QString entry(int k) const;
    void setEntry(int k, const QString &name);
    // The entry picked for the last won hand.
    QString currentName() const { return currentName_; }

    // The file to play for a sound name: the name itself when it is a file,
    // else coins.Wav in the current directory, then in the Windows directory
    // (the program's data folder), else the chime there; empty when none of
    // them exists.
    static QString chooseFile(const QString &name);

    // Plays the sound of a won hand of rank 1..9. The device is opened on the
    // file whether or not sound is on; with no file found it is reopened on
    // the name it already had. A sound still playing is cut.
    WinSoundResult playWin(int rank, bool soundOn);

    // "Unable to play sound file error code:  <n>" and a line with the reason.
    static QString failureText(platform::WaveError error);

private:
    std::unique_ptr<platform::WaveDevice> device_;
    Reader reader_;
    std::array<QString, kEntries> table_;
    QString currentName_;
};

} // namespace brisvale
