#include "imaging/SharedPalette.h"

namespace brisvale {

namespace {
QList<QRgb> &palette()
{
    static QList<QRgb> shared;
    return shared;
}
} // namespace

const QList<QRgb> &SharedPalette() { return palette(); }
void SetSharedPalette(const QList<QRgb> &p) { palette() = p; }
void ClearSharedPalette() { palette().clear(); }

} // namespace brisvale
