#pragma once

#include <QString>

class QPaintDevice;

namespace brisvale {

class Bitmap;

// Reads a bitmap resource: from the program's own resources (":/bitmaps/")
// when moduleName is empty, else from the resource file moduleName names. A
// name that reads as a whole number (120) finds the resource numbered so
// (stored as "#120"), any other finds it by name without regard to case.
// Answers false, without a message, when nothing is found or it cannot be read.
bool ReadResourceBitmap(const QString &moduleName, const QString &resourceName, const QPaintDevice *window,
                        Bitmap &target);

} // namespace brisvale
