#include "imaging/Bitmap.h"

namespace brisvale {

void Bitmap::clear()
{
    image_ = QImage();
    palette_.clear();
    colour_.reset();
}

} // namespace brisvale
