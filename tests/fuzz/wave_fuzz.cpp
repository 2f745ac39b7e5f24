// Feeds arbitrary bytes to the wave reader and, when it accepts them, to the
// sample converter for a few output layouts. Nothing may crash, hang or read
// outside the input.
#include "platform/WaveConverter.h"
#include "platform/WaveFile.h"

#include <cstddef>
#include <cstdint>

using namespace brisvale::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const WaveFile wave = WaveFile::parse(bytes);
    if (!wave.isValid()) {
        if (!wave.samples().isEmpty() || wave.frameCount() != 0)
            __builtin_trap();
        return 0;
    }
    if (wave.samples().size() != wave.frameCount() * wave.format().bytesPerFrame())
        __builtin_trap();

    const OutputFormat layouts[] = {
        WaveConverter::nativeFormat(wave.format()),
        {SampleType::Int16, 2, 44100},
        {SampleType::UInt8, 1, 8000},
        {SampleType::Float, 6, 48000},
    };
    for (const OutputFormat &layout : layouts) {
        QByteArray out;
        const WaveError error = WaveConverter::convert(wave, layout, out);
        if (error == WaveError::None && out.size() % layout.bytesPerFrame() != 0)
            __builtin_trap();
    }
    return 0;
}
