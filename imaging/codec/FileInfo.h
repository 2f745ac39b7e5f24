#pragma once

#include <string>

namespace brisvale::codec {

// What the file information call reports: a short type ("BMP"), five figures
// (width, height, bits per pixel as stored, colours in the file's palette or 0
// when it has none, pictures in the file) and a format name.
struct FileInfo {
    std::string type;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int paletteColours = 0;
    int pictures = 1;
    std::string format;
};

} // namespace brisvale::codec
