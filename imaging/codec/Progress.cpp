#include "imaging/codec/Progress.h"

namespace brisvale::codec {

bool ProgressReporter::report(uint64_t done, uint64_t total)
{
    if (stopped_)
        return false;
    if (!progress_ || !*progress_)
        return true;
    const int percent = total == 0 ? 100 : int(done >= total ? 100 : done * 100 / total);
    if (percent == last_)
        return true;
    last_ = percent;
    if ((*progress_)(percent) == 0)
        stopped_ = true;
    return !stopped_;
}

} // namespace brisvale::codec
