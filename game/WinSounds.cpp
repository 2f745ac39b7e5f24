#include "game/WinSounds.h"

#include "platform/FileSystem.h"
#include "platform/WaveDevice.h"
#include "platform/WindowsDirectory.h"

namespace brisvale {

namespace fs = platform::fs;

WinSounds::WinSounds(std::unique_ptr<platform::WaveDevice> device) : device_(std::move(device))
{
    table_.fill(noSound());
}

WinSounds::~WinSounds()
{
    if (device_)
        device_->close();
}

void WinSounds::setDevice(std::unique_ptr<platform::WaveDevice> device)
{
    if (device_)
        device_->close();
    device_ = std::move(device);
}

void WinSounds::reload()
{
    // Without a store to read from, the table itself is all there is.
    if (!reader_)
        return;
    for (int k = 1; k <= kEntries; ++k)
        table_[k - 1] = reader_(k);
}

QString WinSounds::entry(int k) const { return k >= 1 && k <= kEntries ? table_[k - 1] : QString(); }

void WinSounds::setEntry(int k, const QString &name)
{
    if (k >= 1 && k <= kEntries)
        table_[k - 1] = name;
}

QString WinSounds::chooseFile(const QString &name)
{
    // "Error" marks a rank without a sound, never a file that happens to bear the word.
    if (name != noSound() && fs::fileExists(name))
        return name;
    if (fs::fileExists(coinsName()))
        return coinsName();
    // The program ships its coins in its data folder; a player's own copy in
    // the current folder still comes first.
    const QString shippedCoins = fs::join(platform::windowsDirectory(), coinsName());
    if (fs::fileExists(shippedCoins))
        return shippedCoins;
    const QString chime = fs::join(platform::windowsDirectory(), chimeName());
    if (fs::fileExists(chime))
        return chime;
    return QString();
}

WinSoundResult WinSounds::playWin(int rank, bool soundOn)
{
    WinSoundResult result;
    currentName_ = entry(rank);
    QString file = chooseFile(currentName_);
    if (file.isEmpty())
        file = device_->fileName();

    if (device_->isOpen())
        device_->close();
    if (!device_->open(file)) {
        result.failureText = failureText(device_->error());
        return result;
    }
    result.opened = true;
    if (!soundOn)
        return result;
    result.played = device_->play();
    if (!result.played)
        result.failureText = failureText(device_->error());
    return result;
}

QString WinSounds::failureText(platform::WaveError error)
{
    return QStringLiteral("Unable to play sound file error code:  ") + QString::number(int(error)) + u'\n'
           + platform::waveErrorText(error);
}

} // namespace brisvale
