#pragma once

class QWidget;

namespace brisvale {

class Bitmap;

// The target becomes a copy of the window's pixels, frame included where the
// window system shows it; on a 256-colour display it also gets the palette.
void CaptureWindow(QWidget *source, Bitmap &target);

} // namespace brisvale
