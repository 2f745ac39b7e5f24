#pragma once

#include <QSize>
#include <optional>

namespace brisvale {

// The size a preview file's header claims, read from at most its first few
// KiB through an open descriptor: a .THB is read as a BMP header, a .THJ as
// JPEG markers up to the frame header. Nothing when no such header is found.
std::optional<QSize> previewHeaderSize(int fd, bool jpeg);

} // namespace brisvale
