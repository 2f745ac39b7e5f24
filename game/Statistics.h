#pragma once

#include "game/Settlement.h"

#include <QColor>
#include <QString>
#include <cstdint>

namespace brisvale {

// The two lines "Stats" shows, each at most 250 characters.
QString statsLine1(const GameCounters &counters);
QString statsLine2(const GameCounters &counters);

// Colours are stored as 0x00BBGGRR integers; system colours (the button face
// of an element never recoloured) have the top bit set, so they are negative
// and never stored.
inline constexpr std::int32_t kButtonFaceColor = std::int32_t(0x8000000F);
std::int32_t toStoredColor(const QColor &color);
QColor fromStoredColor(std::int32_t value);

} // namespace brisvale
