#pragma once

#include <QString>
#include <functional>

namespace brisvale {

// True when media files of that extension (without the dot: "WAV") can be
// played, as far as the media backend really decodes them.
bool HasMciHandler(const QString &extension);
// Replaces the backend question (tests); an empty function restores it.
void SetMediaHandlerProbe(std::function<bool(const QString &)> probe);

// The open-file filter of every picture kind and each playable media kind.
QString MediaFilter();

} // namespace brisvale
