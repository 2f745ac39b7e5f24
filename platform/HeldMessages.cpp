#include "platform/HeldMessages.h"

namespace brisvale::platform {

void HeldMessages::message(MessageKind kind, const QString &text)
{
    if (held_.contains(text))
        return;
    held_.append(text);
    if (kind == MessageKind::Error || held_.size() == 1)
        kind_ = kind;
}

void HeldMessages::flush()
{
    if (held_.isEmpty())
        return;
    const QString text = held_.join(u'\n');
    held_.clear();
    inner_.message(kind_, text);
}

} // namespace brisvale::platform
