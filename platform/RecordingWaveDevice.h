#pragma once

#include "platform/WaveDevice.h"

#include <QStringList>

namespace brisvale::platform {

// A wave device for tests: opens and checks files like the real one, but
// instead of sounding it writes what happened to a log:
//   "open <file>", "open failed <file>", "play <file>", "play failed <file>",
//   "cut <file>" (a sound stopped before its end), "close".
// A sound plays until finishSound() says it ended, or until it is cut.
class RecordingWaveDevice : public WaveDevice {
public:
    bool open(const QString &path) override;
    bool play() override;
    void close() override;

    bool isOpen() const override { return open_; }
    QString fileName() const override { return fileName_; }
    WaveError error() const override { return error_; }

    // Makes every following play fail with `error` (None plays again).
    void setPlayFailure(WaveError error) { playFailure_ = error; }
    void finishSound() { playing_ = false; }
    bool isPlaying() const { return playing_; }

    const QStringList &log() const { return log_; }
    void clearLog() { log_.clear(); }

private:
    void cutSound();

    bool open_ = false;
    bool playing_ = false;
    QString fileName_;
    WaveError error_ = WaveError::None;
    WaveError playFailure_ = WaveError::None;
    QStringList log_;
};

} // namespace brisvale::platform
