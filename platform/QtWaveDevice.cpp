#include "platform/QtWaveDevice.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace brisvale::platform {

namespace {

QAudioFormat::SampleFormat toQt(SampleType type)
{
    switch (type) {
    case SampleType::UInt8: return QAudioFormat::UInt8;
    case SampleType::Int16: return QAudioFormat::Int16;
    case SampleType::Int32: return QAudioFormat::Int32;
    case SampleType::Float: return QAudioFormat::Float;
    }
    return QAudioFormat::Int16;
}

QAudioFormat toQt(const OutputFormat &format)
{
    QAudioFormat f;
    f.setSampleFormat(toQt(format.type));
    f.setChannelCount(format.channels);
    f.setSampleRate(format.sampleRate);
    return f;
}

std::optional<OutputFormat> fromQt(const QAudioFormat &format)
{
    OutputFormat out;
    switch (format.sampleFormat()) {
    case QAudioFormat::UInt8: out.type = SampleType::UInt8; break;
    case QAudioFormat::Int16: out.type = SampleType::Int16; break;
    case QAudioFormat::Int32: out.type = SampleType::Int32; break;
    case QAudioFormat::Float: out.type = SampleType::Float; break;
    default: return std::nullopt;
    }
    out.channels = format.channelCount();
    out.sampleRate = format.sampleRate();
    return out;
}

// Layouts to offer the output, best first: the file's own, then the most
// widely accepted ones at the file's rate, then whatever the output prefers.
std::vector<OutputFormat> candidates(const WaveFormat &wave, const QAudioDevice &output)
{
    const OutputFormat native = WaveConverter::nativeFormat(wave);
    std::vector<OutputFormat> list{native,
                                   {SampleType::Int16, native.channels, native.sampleRate},
                                   {SampleType::Float, native.channels, native.sampleRate},
                                   {SampleType::Int16, 2, native.sampleRate}};
    if (const auto preferred = fromQt(output.preferredFormat())) {
        list.push_back(*preferred);
        list.push_back({SampleType::Int16, preferred->channels, preferred->sampleRate});
    }
    return list;
}

} // namespace

QtWaveDevice::QtWaveDevice() = default;

QtWaveDevice::QtWaveDevice(const QAudioDevice &output) : fixedOutput_(output) {}

QtWaveDevice::~QtWaveDevice() { stopSound(); }

QAudioDevice QtWaveDevice::output() const { return fixedOutput_ ? *fixedOutput_ : QMediaDevices::defaultAudioOutput(); }

bool QtWaveDevice::open(const QString &path)
{
    close();
    fileName_ = path;
    WaveFile wave = load(path);
    error_ = wave.error();
    if (!wave.isValid())
        return false;
    wave_.emplace(std::move(wave));
    return true;
}

bool QtWaveDevice::play()
{
    stopSound();
    if (!wave_) {
        error_ = WaveError::NotOpen;
        return false;
    }
    const QAudioDevice device = output();
    if (device.isNull()) {
        error_ = WaveError::NoOutputDevice;
        return false;
    }

    std::optional<OutputFormat> chosen;
    for (const OutputFormat &candidate : candidates(wave_->format(), device)) {
        if (device.isFormatSupported(toQt(candidate))) {
            chosen = candidate;
            break;
        }
    }
    if (!chosen) {
        error_ = WaveError::OutputRefused;
        return false;
    }
    QByteArray pcm;
    error_ = WaveConverter::convert(*wave_, *chosen, pcm);
    if (error_ != WaveError::None)
        return false;

    buffer_.setData(pcm);
    buffer_.open(QIODevice::ReadOnly);
    sink_ = std::make_unique<QAudioSink>(device, toQt(*chosen));
    QAudioSink *sink = sink_.get();
    QObject::connect(sink, &QAudioSink::stateChanged, sink, [sink](QAudio::State state) {
        // The sound has run out: let the output go.
        if (state == QAudio::IdleState)
            sink->stop();
    });
    sink->start(&buffer_);
    if (sink->error() != QAudio::NoError && sink->error() != QAudio::UnderrunError) {
        stopSound();
        error_ = WaveError::OutputFailed;
        return false;
    }
    playingFormat_ = *chosen;
    return true;
}

void QtWaveDevice::close()
{
    stopSound();
    wave_.reset();
}

bool QtWaveDevice::isPlaying() const { return sink_ && sink_->state() == QAudio::ActiveState; }

void QtWaveDevice::stopSound()
{
    if (sink_) {
        sink_->stop();
        sink_.reset();
    }
    buffer_.close();
    buffer_.setData(QByteArray());
}

} // namespace brisvale::platform
