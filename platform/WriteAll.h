#pragma once

#include <QtGlobal>

namespace brisvale::platform {

// Writes all `size` bytes to `fd`, going on after short writes and
// interruptions; false on any other failure.
bool writeAll(int fd, const char *data, qsizetype size);

} // namespace brisvale::platform
