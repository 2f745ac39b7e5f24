#pragma once

#include <QString>

namespace brisvale::platform {

// The program's data folder, which stands in for the Windows directory: it
// holds the default picture and chime. In order: $BRISVALE_WINDIR when set,
// the source tree's resources/ when running from a build tree, the installed
// share folder next to the executable's prefix.
QString windowsDirectory();

} // namespace brisvale::platform
