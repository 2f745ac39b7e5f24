// Any bytes as either kind of message file: a bad file is a clean error, and
// whatever parses can be scrolled without running off its lines.
#include "imaging/MessageFile.h"
#include "imaging/ScrollingMessage.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    brisvale::MessageSettings settings;
    try {
        brisvale::parseSideways(bytes, settings);
    } catch (const brisvale::MessageFormatError &) {
    }
    try {
        brisvale::parseUpward(bytes, settings);
    } catch (const brisvale::MessageFormatError &) {
        return 0;
    }
    brisvale::ScrollingMessage scroll;
    scroll.setSpeed(settings.speed);
    scroll.startUpward(QSize(64, 32), settings.lines,
                       [](const QString &text) { return QSize(int(text.size()) * 7, 12); });
    for (int i = 0; i < 200; ++i)
        scroll.stepVertical();
    return 0;
}
