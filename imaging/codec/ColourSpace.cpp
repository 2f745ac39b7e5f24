#include "imaging/codec/ColourSpace.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <lcms2.h>
#include <mutex>
#include <vector>

namespace brisvale::codec {

namespace {

// Profiles of real devices stay far below this; a larger one is not read.
constexpr size_t kLargestProfile = size_t(16) << 20;

// Relative colorimetric: colours inside sRGB (or the screen) keep their exact
// values and those outside are brought to its edge; black-point compensation
// maps a press profile's black to full black. Said in the help.
constexpr cmsUInt32Number kIntent = INTENT_RELATIVE_COLORIMETRIC;
constexpr cmsUInt32Number kFlags = cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_NOCACHE;

// The lock around every use of the colour library's profiles and of the
// kept conversions; converting pixels needs none.
std::mutex &libraryLock()
{
    static std::mutex lock;
    return lock;
}

void quiet(cmsContext, cmsUInt32Number, const char *) {}

void quietOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { cmsSetLogErrorHandler(quiet); });
}

uint64_t hashBytes(const void *data, size_t size, uint64_t h = 1469598103934665603ull)
{
    const auto *p = static_cast<const uint8_t *>(data);
    for (size_t i = 0; i < size; ++i) {
        h ^= p[i];
        h *= 1099511628211ull;
    }
    return h;
}

cmsHPROFILE srgbProfile()
{
    static cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    return srgb;
}

double srgbDecode(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }

// An RGB profile that does what sRGB does: the same colorants and the same
// curves, to well under a step of eight bits.
bool isSrgb(cmsHPROFILE p)
{
    if (cmsGetColorSpace(p) != cmsSigRgbData || !cmsIsMatrixShaper(p))
        return false;
    const cmsTagSignature colorants[3] = {cmsSigRedColorantTag, cmsSigGreenColorantTag, cmsSigBlueColorantTag};
    const cmsTagSignature curves[3] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};
    for (int i = 0; i < 3; ++i) {
        const auto *mine = static_cast<const cmsCIEXYZ *>(cmsReadTag(p, colorants[i]));
        const auto *theirs = static_cast<const cmsCIEXYZ *>(cmsReadTag(srgbProfile(), colorants[i]));
        if (!mine || !theirs || std::fabs(mine->X - theirs->X) > 0.003 || std::fabs(mine->Y - theirs->Y) > 0.003
            || std::fabs(mine->Z - theirs->Z) > 0.003)
            return false;
        const auto *curve = static_cast<const cmsToneCurve *>(cmsReadTag(p, curves[i]));
        if (!curve)
            return false;
        for (int k = 0; k <= 32; ++k) {
            const double v = k / 32.0;
            if (std::fabs(double(cmsEvalToneCurveFloat(curve, cmsFloat32Number(v))) - srgbDecode(v)) > 0.002)
                return false;
        }
    }
    return true;
}

// ---- H.273 transfer curves --------------------------------------------------

// Brightness of HDR pictures is brought into sRGB's range by an extended
// Reinhard curve on each channel: the HDR reference white (203 cd/m²) is
// the unit, and 1000 cd/m², the usual mastering peak, reaches full white.
double toneMap(double nits)
{
    constexpr double kReferenceWhite = 203.0;
    constexpr double kPeak = 1000.0 / kReferenceWhite;
    const double l = std::max(0.0, nits / kReferenceWhite);
    return std::min(1.0, l * (1.0 + l / (kPeak * kPeak)) / (1.0 + l));
}

double pqToNits(double v)
{
    constexpr double m1 = 2610.0 / 16384.0, m2 = 2523.0 / 4096.0 * 128.0;
    constexpr double c1 = 3424.0 / 4096.0, c2 = 2413.0 / 4096.0 * 32.0, c3 = 2392.0 / 4096.0 * 32.0;
    const double p = std::pow(std::clamp(v, 0.0, 1.0), 1.0 / m2);
    return 10000.0 * std::pow(std::max(p - c1, 0.0) / (c2 - c3 * p), 1.0 / m1);
}

// Hybrid log-gamma, shown on a 1000 cd/m² display (system gamma 1.2).
double hlgToNits(double v)
{
    constexpr double a = 0.17883277, b = 1.0 - 4.0 * a;
    const double c = 0.5 - a * std::log(4.0 * a);
    v = std::clamp(v, 0.0, 1.0);
    const double scene = v <= 0.5 ? v * v / 3.0 : (std::exp((v - c) / a) + b) / 12.0;
    return 1000.0 * std::pow(scene, 1.2);
}

cmsToneCurve *tabulated(double (*toLinear)(double))
{
    constexpr int kEntries = 4096;
    std::vector<cmsFloat32Number> values(kEntries);
    for (int i = 0; i < kEntries; ++i)
        values[size_t(i)] = cmsFloat32Number(toneMap(toLinear(double(i) / (kEntries - 1))));
    return cmsBuildTabulatedToneCurveFloat(nullptr, kEntries, values.data());
}

cmsToneCurve *srgbCurve()
{
    const cmsFloat64Number params[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
    return cmsBuildParametricToneCurve(nullptr, 4, params);
}

// Null where the transfer is sRGB's (or one shown as sRGB).
cmsToneCurve *curveOf(int transfer, bool &srgbLike)
{
    srgbLike = false;
    switch (transfer) {
    case 4: return cmsBuildGamma(nullptr, 2.2);
    case 5: return cmsBuildGamma(nullptr, 2.8);
    case 8: return cmsBuildGamma(nullptr, 1.0);
    case 16: return tabulated(pqToNits);
    case 18: return tabulated(hlgToNits);
    default: break;
    }
    // BT.709 and its kin are camera curves; pictures in them are shown as
    // sRGB, as every viewer of still pictures does.
    srgbLike = true;
    return srgbCurve();
}

cmsHPROFILE rgbProfile(const cmsCIExyY &white, const cmsCIExyYTRIPLE &primaries, cmsToneCurve *curve)
{
    if (!curve)
        return nullptr;
    cmsToneCurve *curves[3] = {curve, curve, curve};
    cmsHPROFILE p = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(curve);
    return p;
}

// ---- kept conversions -----------------------------------------------------

struct Kept {
    uint64_t source; // 0: sRGB
    ColourTarget target;
    ColourConversion::Layout layout;
    uint64_t screen;
    std::shared_ptr<const ColourConversion> conversion; // null: nothing can be done
};

std::vector<Kept> &kept()
{
    static std::vector<Kept> list;
    return list;
}

ColourSpacePtr &screenSpace()
{
    static ColourSpacePtr screen;
    return screen;
}

cmsUInt32Number formatOf(ColourConversion::Layout layout)
{
    switch (layout) {
    case ColourConversion::Layout::Bgr: return TYPE_BGR_8;
    case ColourConversion::Layout::Bgrx: return TYPE_BGRA_8;
    case ColourConversion::Layout::Cmyk: return TYPE_CMYK_8;
    case ColourConversion::Layout::CmykInverted: return TYPE_CMYK_8_REV;
    }
    return TYPE_BGR_8;
}

std::shared_ptr<const ColourConversion> conversionLocked(const ColourSpace *source, ColourTarget target,
                                                         ColourConversion::Layout layout);

// What each of the 256 levels of a grey profile is in the target, as blue,
// green, red; false when the library cannot say.
bool greyTable(cmsHPROFILE grey, cmsHPROFILE target, std::array<uint8_t, 768> &table)
{
    cmsHTRANSFORM transform = cmsCreateTransform(grey, TYPE_GRAY_8, target, TYPE_BGR_8, kIntent, kFlags);
    if (!transform)
        return false;
    uint8_t levels[256];
    for (int i = 0; i < 256; ++i)
        levels[i] = uint8_t(i);
    cmsDoTransform(transform, levels, table.data(), 256);
    cmsDeleteTransform(transform);
    return true;
}

} // namespace

ColourSpace::~ColourSpace() { cmsCloseProfile(static_cast<cmsHPROFILE>(profile_)); }

ColourSpacePtr ColourSpace::adopt(void *profile, uint64_t key)
{
    if (!profile)
        return nullptr;
    auto *p = static_cast<cmsHPROFILE>(profile);
    const cmsColorSpaceSignature space = cmsGetColorSpace(p);
    const cmsProfileClassSignature kind = cmsGetDeviceClass(p);
    const bool usableClass = kind == cmsSigInputClass || kind == cmsSigDisplayClass || kind == cmsSigOutputClass
                             || kind == cmsSigColorSpaceClass;
    const bool known = space == cmsSigRgbData || space == cmsSigCmykData || space == cmsSigGrayData;
    if (!usableClass || !known || isSrgb(p)) {
        cmsCloseProfile(p);
        return nullptr;
    }
    if (space == cmsSigGrayData) {
        // A grey profile with sRGB's tones changes no level by a step.
        std::array<uint8_t, 768> table{};
        bool same = greyTable(p, srgbProfile(), table);
        for (int i = 0; same && i < 768; ++i)
            same = std::abs(int(table[size_t(i)]) - i / 3) <= 1;
        if (same) {
            cmsCloseProfile(p);
            return nullptr;
        }
    }
    const Model model = space == cmsSigRgbData ? Model::Rgb : space == cmsSigCmykData ? Model::Cmyk : Model::Grey;
    ColourSpacePtr made(new ColourSpace(profile, model, key));
    // A profile whose tags cannot make a conversion is as good as none.
    const auto layout = made->model() == Model::Cmyk ? ColourConversion::Layout::Cmyk : ColourConversion::Layout::Bgr;
    if (!conversionLocked(made.get(), ColourTarget::Srgb, layout))
        return nullptr;
    return made;
}

ColourSpacePtr ColourSpace::fromIcc(const uint8_t *data, size_t size)
{
    // The header alone is 128 bytes and the tag count follows it.
    if (!data || size < 132 || size > kLargestProfile)
        return nullptr;
    quietOnce();
    std::lock_guard<std::mutex> lock(libraryLock());
    return adopt(cmsOpenProfileFromMem(data, cmsUInt32Number(size)), hashBytes(data, size));
}

ColourSpacePtr ColourSpace::fromCicp(const Cicp &cicp)
{
    cmsCIExyY white{0.3127, 0.3290, 1.0};
    cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1.0}, {0.30, 0.60, 1.0}, {0.15, 0.06, 1.0}};
    bool srgbPrimaries = false;
    switch (cicp.primaries) {
    case 5: primaries = {{0.64, 0.33, 1.0}, {0.29, 0.60, 1.0}, {0.15, 0.06, 1.0}}; break;
    case 6:
    case 7: primaries = {{0.630, 0.340, 1.0}, {0.310, 0.595, 1.0}, {0.155, 0.070, 1.0}}; break;
    case 9: primaries = {{0.708, 0.292, 1.0}, {0.170, 0.797, 1.0}, {0.131, 0.046, 1.0}}; break;
    case 11: white = {0.314, 0.351, 1.0}; [[fallthrough]];
    case 12: primaries = {{0.680, 0.320, 1.0}, {0.265, 0.690, 1.0}, {0.150, 0.060, 1.0}}; break;
    default: srgbPrimaries = true; break; // BT.709, unspecified or unknown
    }
    bool srgbCurve = false;
    cmsToneCurve *curve = curveOf(cicp.transfer, srgbCurve);
    if (srgbPrimaries && srgbCurve) {
        cmsFreeToneCurve(curve);
        return nullptr;
    }
    quietOnce();
    std::lock_guard<std::mutex> lock(libraryLock());
    const uint64_t key = hashBytes(&cicp, sizeof cicp, 0xc1c9c1c9c1c9c1c9ull);
    return adopt(rgbProfile(white, primaries, curve), key);
}

ColourSpacePtr ColourSpace::fromChromaticities(const double xy[8], double encodingGamma)
{
    for (int i = 0; i < 8; ++i)
        if (!(xy[i] > 0.0 && xy[i] < 1.0))
            return nullptr;
    if (!(encodingGamma > 0.05 && encodingGamma < 5.0))
        return nullptr;
    static const double srgb[8] = {0.3127, 0.3290, 0.64, 0.33, 0.30, 0.60, 0.15, 0.06};
    bool isSrgbPrimaries = true;
    for (int i = 0; i < 8; ++i)
        isSrgbPrimaries = isSrgbPrimaries && std::fabs(xy[i] - srgb[i]) < 0.002;
    if (isSrgbPrimaries && std::fabs(encodingGamma - 1.0 / 2.2) < 0.01)
        return nullptr;
    const cmsCIExyY white{xy[0], xy[1], 1.0};
    const cmsCIExyYTRIPLE primaries{{xy[2], xy[3], 1.0}, {xy[4], xy[5], 1.0}, {xy[6], xy[7], 1.0}};
    quietOnce();
    std::lock_guard<std::mutex> lock(libraryLock());
    uint64_t key = hashBytes(xy, sizeof(double) * 8, 0x9a3a9a3a9a3a9a3aull);
    key = hashBytes(&encodingGamma, sizeof encodingGamma, key);
    return adopt(rgbProfile(white, primaries, cmsBuildGamma(nullptr, 1.0 / encodingGamma)), key);
}

ColourSpacePtr ColourSpace::fromEndpoints(const double xyz[9], const double gamma[3])
{
    double xy[8] = {};
    double white[3] = {};
    for (size_t c = 0; c < 3; ++c) {
        const double *e = xyz + 3 * c;
        const double sum = e[0] + e[1] + e[2];
        if (!(e[0] >= 0.0 && e[1] > 0.0 && e[2] >= 0.0 && sum > 0.0 && sum < 10.0))
            return nullptr;
        xy[2 + 2 * c] = e[0] / sum;
        xy[3 + 2 * c] = e[1] / sum;
        for (int i = 0; i < 3; ++i)
            white[i] += e[i];
        if (!(gamma[c] > 0.2 && gamma[c] < 5.0))
            return nullptr;
    }
    const double whiteSum = white[0] + white[1] + white[2];
    xy[0] = white[0] / whiteSum;
    xy[1] = white[1] / whiteSum;
    if (gamma[0] == gamma[1] && gamma[1] == gamma[2])
        return fromChromaticities(xy, 1.0 / gamma[0]);
    for (int i = 0; i < 8; ++i)
        if (!(xy[i] > 0.0 && xy[i] < 1.0))
            return nullptr;
    const cmsCIExyY whitePoint{xy[0], xy[1], 1.0};
    const cmsCIExyYTRIPLE primaries{{xy[2], xy[3], 1.0}, {xy[4], xy[5], 1.0}, {xy[6], xy[7], 1.0}};
    cmsToneCurve *curves[3] = {cmsBuildGamma(nullptr, gamma[0]), cmsBuildGamma(nullptr, gamma[1]),
                               cmsBuildGamma(nullptr, gamma[2])};
    quietOnce();
    std::lock_guard<std::mutex> lock(libraryLock());
    cmsHPROFILE p = curves[0] && curves[1] && curves[2] ? cmsCreateRGBProfile(&whitePoint, &primaries, curves)
                                                        : nullptr;
    for (cmsToneCurve *curve : curves)
        if (curve)
            cmsFreeToneCurve(curve);
    uint64_t key = hashBytes(xyz, sizeof(double) * 9, 0xb3b3b3b3b3b3b3b3ull);
    key = hashBytes(gamma, sizeof(double) * 3, key);
    return adopt(p, key);
}

void setScreenProfile(const uint8_t *data, size_t size)
{
    ColourSpacePtr screen = ColourSpace::fromIcc(data, size);
    if (screen && screen->model() != ColourSpace::Model::Rgb)
        screen.reset();
    std::lock_guard<std::mutex> lock(libraryLock());
    screenSpace() = std::move(screen);
}

ColourConversion::~ColourConversion()
{
    if (transform_)
        cmsDeleteTransform(static_cast<cmsHTRANSFORM>(transform_));
}

namespace {

// A profile's colorants as the columns of a matrix, or false.
bool colorants(cmsHPROFILE profile, std::array<double, 9> &m)
{
    const cmsTagSignature tags[3] = {cmsSigRedColorantTag, cmsSigGreenColorantTag, cmsSigBlueColorantTag};
    for (size_t c = 0; c < 3; ++c) {
        const auto *xyz = static_cast<const cmsCIEXYZ *>(cmsReadTag(profile, tags[c]));
        if (!xyz)
            return false;
        m[c] = xyz->X;
        m[3 + c] = xyz->Y;
        m[6 + c] = xyz->Z;
    }
    return true;
}

bool invert(const std::array<double, 9> &m, std::array<double, 9> &inv)
{
    const double det = m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6])
                       + m[2] * (m[3] * m[7] - m[4] * m[6]);
    if (std::fabs(det) < 1e-9)
        return false;
    inv = {(m[4] * m[8] - m[5] * m[7]) / det, (m[2] * m[7] - m[1] * m[8]) / det, (m[1] * m[5] - m[2] * m[4]) / det,
           (m[5] * m[6] - m[3] * m[8]) / det, (m[0] * m[8] - m[2] * m[6]) / det, (m[2] * m[3] - m[0] * m[5]) / det,
           (m[3] * m[7] - m[4] * m[6]) / det, (m[1] * m[6] - m[0] * m[7]) / det, (m[0] * m[4] - m[1] * m[3]) / det};
    return true;
}

} // namespace

void ColourConversion::useCurvesAndMatrix(void *from, void *to, bool fourBytes)
{
    const auto source = static_cast<cmsHPROFILE>(from);
    const auto target = static_cast<cmsHPROFILE>(to);
    if (!transform_ || !cmsIsMatrixShaper(source) || !cmsIsMatrixShaper(target)
        || cmsGetColorSpace(source) != cmsSigRgbData || cmsGetColorSpace(target) != cmsSigRgbData)
        return;
    std::array<double, 9> in{}, out{}, back{};
    if (!colorants(source, in) || !colorants(target, out) || !invert(out, back))
        return;
    auto made = std::make_unique<CurvesAndMatrix>();
    for (size_t r = 0; r < 3; ++r)
        for (size_t c = 0; c < 3; ++c)
            made->matrix[r * 3 + c] = float(back[r * 3] * in[c] + back[r * 3 + 1] * in[3 + c]
                                            + back[r * 3 + 2] * in[6 + c]);
    const cmsTagSignature trcs[3] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};
    for (size_t c = 0; c < 3; ++c) {
        const auto *curve = static_cast<const cmsToneCurve *>(cmsReadTag(source, trcs[c]));
        const auto *screenCurve = static_cast<const cmsToneCurve *>(cmsReadTag(target, trcs[c]));
        if (!curve || !screenCurve || !cmsIsToneCurveMonotonic(screenCurve))
            return;
        for (int v = 0; v < 256; ++v)
            made->linear[c][size_t(v)] = cmsEvalToneCurveFloat(curve, float(v) / 255.0F);
        // Each step takes the level whose half-way marks on the screen's
        // curve enclose it: 255 evaluations rather than one a step.
        int level = 0;
        float next = cmsEvalToneCurveFloat(screenCurve, 0.5F / 255.0F);
        for (int i = 0; i < CurvesAndMatrix::kSteps; ++i) {
            const float x = float(i) / float(CurvesAndMatrix::kSteps - 1);
            while (level < 255 && x >= next) {
                ++level;
                next = level < 255 ? cmsEvalToneCurveFloat(screenCurve, (float(level) + 0.5F) / 255.0F) : 2.0F;
            }
            made->encode[c][size_t(i)] = uint8_t(level);
        }
    }
    // Checked against the library over a lattice of colours and every grey.
    const size_t step = fourBytes ? 4 : 3;
    std::vector<uint8_t> probe;
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 15)
            for (int b = 0; b < 256; b += 15)
                probe.insert(probe.end(), {uint8_t(b), uint8_t(g), uint8_t(r)});
    for (int v = 0; v < 256; ++v)
        probe.insert(probe.end(), {uint8_t(v), uint8_t(v), uint8_t(v)});
    const size_t count = probe.size() / 3;
    std::vector<uint8_t> pixels(count * step, 255);
    for (size_t i = 0; i < count; ++i)
        std::memcpy(&pixels[i * step], &probe[i * 3], 3);
    std::vector<uint8_t> library(pixels.size()), ours(pixels.size());
    cmsDoTransform(static_cast<cmsHTRANSFORM>(transform_), pixels.data(), library.data(), cmsUInt32Number(count));
    curves_ = std::move(made);
    fourBytes_ = fourBytes;
    convertByCurves(pixels.data(), ours.data(), count);
    for (size_t i = 0; i < count; ++i)
        for (size_t k = 0; k < 3; ++k)
            if (std::abs(int(ours[i * step + k]) - int(library[i * step + k])) > 1) {
                curves_.reset();
                return;
            }
}

void ColourConversion::convertByCurves(const uint8_t *in, uint8_t *out, size_t pixels) const
{
    const CurvesAndMatrix &t = *curves_;
    const size_t step = fourBytes_ ? 4 : 3;
    constexpr float kLast = float(CurvesAndMatrix::kSteps - 1);
    const auto index = [](float v) { return static_cast<int>(std::lrint(std::clamp(v, 0.0F, 1.0F) * kLast)); };
    for (size_t i = 0; i < pixels; ++i, in += step, out += step) {
        const float r = t.linear[0][in[2]], g = t.linear[1][in[1]], b = t.linear[2][in[0]];
        const float R = t.matrix[0] * r + t.matrix[1] * g + t.matrix[2] * b;
        const float G = t.matrix[3] * r + t.matrix[4] * g + t.matrix[5] * b;
        const float B = t.matrix[6] * r + t.matrix[7] * g + t.matrix[8] * b;
        if (fourBytes_)
            out[3] = in[3];
        out[0] = t.encode[2][index(B)];
        out[1] = t.encode[1][index(G)];
        out[2] = t.encode[0][index(R)];
    }
}

void ColourConversion::convert(const uint8_t *in, uint8_t *out, size_t pixels) const
{
    if (curves_) {
        convertByCurves(in, out, pixels);
        return;
    }
    if (!transform_) {
        const size_t step = fourBytes_ ? 4 : 3;
        for (size_t i = 0; i < pixels; ++i, in += step, out += step) {
            const uint8_t b = table_[size_t(in[0]) * 3], g = table_[size_t(in[1]) * 3 + 1],
                          r = table_[size_t(in[2]) * 3 + 2];
            if (fourBytes_)
                out[3] = in[3];
            out[0] = b;
            out[1] = g;
            out[2] = r;
        }
        return;
    }
    // The library counts pixels in 32 bits.
    constexpr size_t kChunk = size_t(1) << 24;
    const size_t inBytes = (T_CHANNELS(cmsGetTransformInputFormat(static_cast<cmsHTRANSFORM>(transform_)))
                            + T_EXTRA(cmsGetTransformInputFormat(static_cast<cmsHTRANSFORM>(transform_))));
    const size_t outBytes = (T_CHANNELS(cmsGetTransformOutputFormat(static_cast<cmsHTRANSFORM>(transform_)))
                             + T_EXTRA(cmsGetTransformOutputFormat(static_cast<cmsHTRANSFORM>(transform_))));
    while (pixels > 0) {
        const size_t n = std::min(pixels, kChunk);
        cmsDoTransform(static_cast<cmsHTRANSFORM>(transform_), in, out, cmsUInt32Number(n));
        in += n * inBytes;
        out += n * outBytes;
        pixels -= n;
    }
}

namespace {

// conversionFor with the library's lock held.
std::shared_ptr<const ColourConversion> conversionLocked(const ColourSpace *source, ColourTarget target,
                                                         ColourConversion::Layout layout)
{
    const ColourSpace *to = target == ColourTarget::Screen ? screenSpace().get() : nullptr;
    if (!source && !to)
        return nullptr;
    const uint64_t sourceKey = source ? source->key() : 0;
    const uint64_t screenKey = to ? to->key() : 0;
    if (source && to && sourceKey == screenKey)
        return nullptr;
    std::vector<Kept> &list = kept();
    for (const Kept &k : list)
        if (k.source == sourceKey && k.target == target && k.layout == layout && k.screen == screenKey)
            return k.conversion;
    const bool cmykIn = layout == ColourConversion::Layout::Cmyk || layout == ColourConversion::Layout::CmykInverted;
    if (cmykIn != (source && source->model() == ColourSpace::Model::Cmyk))
        return nullptr;
    const cmsHPROFILE toProfile = to ? static_cast<cmsHPROFILE>(to->profile()) : srgbProfile();
    std::shared_ptr<const ColourConversion> made;
    if (source && source->model() == ColourSpace::Model::Grey) {
        std::array<uint8_t, 768> table{};
        if (greyTable(static_cast<cmsHPROFILE>(source->profile()), toProfile, table))
            made = std::make_shared<const ColourConversion>(table, layout == ColourConversion::Layout::Bgrx);
    } else {
        const cmsUInt32Number outFormat = layout == ColourConversion::Layout::Bgrx ? TYPE_BGRA_8 : TYPE_BGR_8;
        cmsHTRANSFORM transform = cmsCreateTransform(source ? static_cast<cmsHPROFILE>(source->profile())
                                                            : srgbProfile(),
                                                     formatOf(layout), toProfile, outFormat, kIntent, kFlags);
        if (transform) {
            auto conversion = std::make_unique<ColourConversion>(transform);
            conversion->useCurvesAndMatrix(source ? source->profile() : srgbProfile(), toProfile,
                                           layout == ColourConversion::Layout::Bgrx);
            made = std::move(conversion);
        }
    }
    constexpr size_t kKept = 16;
    if (list.size() >= kKept)
        list.erase(list.begin());
    list.push_back(Kept{sourceKey, target, layout, screenKey, made});
    return made;
}

} // namespace

std::shared_ptr<const ColourConversion> conversionFor(const ColourSpace *source, ColourTarget target,
                                                      ColourConversion::Layout layout)
{
    quietOnce();
    std::lock_guard<std::mutex> lock(libraryLock());
    return conversionLocked(source, target, layout);
}

void convertColours(Image &image, Palette &palette, ColourTarget target)
{
    const ColourSpacePtr colour = image.colour();
    image.setColour(nullptr);
    if (image.empty() || (colour && colour->model() == ColourSpace::Model::Cmyk))
        return;
    const auto conversion = conversionFor(colour.get(), target, ColourConversion::Layout::Bgr);
    if (!conversion)
        return;
    if (image.bits() == 24) {
        for (int y = 0; y < image.height(); ++y)
            conversion->convert(image.row(y), image.row(y), size_t(image.width()));
        return;
    }
    std::vector<uint8_t> bgr;
    bgr.reserve(palette.size() * 3);
    for (const Rgb &c : palette)
        bgr.insert(bgr.end(), {c.b, c.g, c.r});
    conversion->convert(bgr.data(), bgr.data(), palette.size());
    for (size_t i = 0; i < palette.size(); ++i)
        palette[i] = Rgb{bgr[i * 3 + 2], bgr[i * 3 + 1], bgr[i * 3]};
}

} // namespace brisvale::codec
