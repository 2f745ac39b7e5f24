#pragma once

#include "platform/WaveConverter.h"
#include "platform/WaveDevice.h"

#include <QAudioDevice>
#include <QBuffer>
#include <memory>
#include <optional>

class QAudioSink;

namespace brisvale::platform {

// The wave device over Qt Multimedia: the file is checked at open, converted
// at play to a layout the audio output accepts, and handed to an audio sink
// that plays it while the program goes on.
class QtWaveDevice : public WaveDevice {
public:
    // Plays on the system's default audio output, looked up at every play.
    QtWaveDevice();
    // Plays on `output` only; a null device stands for a machine without one.
    explicit QtWaveDevice(const QAudioDevice &output);
    ~QtWaveDevice() override;

    bool open(const QString &path) override;
    bool play() override;
    void close() override;

    bool isOpen() const override { return wave_.has_value(); }
    QString fileName() const override { return fileName_; }
    WaveError error() const override { return error_; }

    bool isPlaying() const;
    // The layout of the sound now handed to the output.
    OutputFormat playingFormat() const { return playingFormat_; }

private:
    QAudioDevice output() const;
    void stopSound();

    std::optional<QAudioDevice> fixedOutput_;
    std::optional<WaveFile> wave_;
    QString fileName_;
    WaveError error_ = WaveError::None;
    QBuffer buffer_;
    std::unique_ptr<QAudioSink> sink_;
    OutputFormat playingFormat_;
};

} // namespace brisvale::platform
