#pragma once

class QPaintDevice;

namespace brisvale {

// The colour depth code for a device's bits per pixel: 4 or fewer give 4,
// 5 to 15 give 8, 16 or more give 24.
int DepthCodeForBits(int bitsPerPixel);
// The code for a paint device (a window or a picture); with none, the
// primary screen's.
int DisplayColorDepth(const QPaintDevice *device);
// The code for the screen of the window that has the keyboard focus.
int FocusDisplayColorDepth();

} // namespace brisvale
