#pragma once

#include <QString>

namespace brisvale::platform {

// The program's data folder, which stands in for the Windows directory: it
// holds the default picture and chime. In order: $BRISVALE_WINDIR when set,
// the installed share folder found from the executable's own folder, the
// source tree's resources/ (a program run from its build tree).
QString windowsDirectory();

} // namespace brisvale::platform
