#include "platform/RecordingWaveDevice.h"

namespace brisvale::platform {

bool RecordingWaveDevice::open(const QString &path)
{
    if (open_)
        close();
    fileName_ = path;
    const WaveFile wave = load(path);
    error_ = wave.error();
    open_ = wave.isValid();
    log_ << (open_ ? QStringLiteral("open ") : QStringLiteral("open failed ")) + path;
    return open_;
}

bool RecordingWaveDevice::play()
{
    cutSound();
    error_ = open_ ? playFailure_ : WaveError::NotOpen;
    if (error_ != WaveError::None) {
        log_ << QStringLiteral("play failed ") + fileName_;
        return false;
    }
    playing_ = true;
    log_ << QStringLiteral("play ") + fileName_;
    return true;
}

void RecordingWaveDevice::close()
{
    cutSound();
    if (open_)
        log_ << QStringLiteral("close");
    open_ = false;
}

void RecordingWaveDevice::cutSound()
{
    if (playing_)
        log_ << QStringLiteral("cut ") + fileName_;
    playing_ = false;
}

} // namespace brisvale::platform
