#pragma once

#include <QString>

namespace brisvale::platform {

// Whether windows can be painted on the display the application runs on.
// Some displays (256 colours, for one) offer no visual the toolkit can draw
// into, and every window would then be drawn with an inactive painter.
// Empty when they can; else one sentence for the player naming the depth.
QString unpaintableDisplayText();

} // namespace brisvale::platform
