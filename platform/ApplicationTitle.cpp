#include "platform/ApplicationTitle.h"

namespace brisvale::platform {

namespace {
QString &title()
{
    static QString value;
    return value;
}
} // namespace

void setApplicationTitle(const QString &value) { title() = value; }

QString applicationTitle() { return title(); }

} // namespace brisvale::platform
