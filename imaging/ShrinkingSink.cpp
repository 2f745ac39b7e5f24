#include "imaging/ShrinkingSink.h"

namespace brisvale {

bool ShrinkingSink::wants(int width, int height)
{
    const QSize picture(width, height);
    const QSize box = boxFor_(picture);
    if (box.isEmpty())
        return false;
    picture_ = picture;
    box_ = box;
    shrinker_.emplace(width, height, ShrinkTarget(picture, box));
    return true;
}

} // namespace brisvale
