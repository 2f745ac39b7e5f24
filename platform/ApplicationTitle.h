#pragma once

#include <QString>

namespace brisvale::platform {

// The program's own title, carried by its message boxes and help window. It is
// kept apart from the toolkit's application display name on purpose: desktops
// append that name to every window title they show, and each of our windows
// has its exact caption (the picture window even uses its caption as a status
// line).
void setApplicationTitle(const QString &title);
QString applicationTitle();

} // namespace brisvale::platform
