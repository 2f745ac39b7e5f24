// Writes the ICC profiles the colour fixtures are tagged with, into the
// folder given: each made from its published primaries, white and curve.
#include <cstdio>
#include <lcms2.h>
#include <string>

namespace {

bool save(cmsHPROFILE profile, const std::string &path, const char *description)
{
    if (!profile)
        return false;
    cmsMLU *text = cmsMLUalloc(nullptr, 1);
    cmsMLUsetASCII(text, "en", "US", description);
    cmsWriteTag(profile, cmsSigProfileDescriptionTag, text);
    cmsMLUfree(text);
    const bool ok = cmsSaveProfileToFile(profile, path.c_str()) != 0;
    cmsCloseProfile(profile);
    return ok;
}

cmsHPROFILE rgb(const cmsCIExyYTRIPLE &primaries, cmsToneCurve *curve)
{
    const cmsCIExyY d65{0.3127, 0.3290, 1.0};
    cmsToneCurve *curves[3] = {curve, curve, curve};
    cmsHPROFILE p = cmsCreateRGBProfile(&d65, &primaries, curves);
    cmsFreeToneCurve(curve);
    return p;
}

cmsToneCurve *srgbCurve()
{
    const cmsFloat64Number params[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
    return cmsBuildParametricToneCurve(nullptr, 4, params);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_colour_profiles FOLDER\n");
        return 2;
    }
    const std::string dir = argv[1];
    // sRGB with its red and green primaries changing places: what the file
    // calls red is green.
    const cmsCIExyYTRIPLE swapped{{0.30, 0.60, 1.0}, {0.64, 0.33, 1.0}, {0.15, 0.06, 1.0}};
    const cmsCIExyYTRIPLE p3{{0.680, 0.320, 1.0}, {0.265, 0.690, 1.0}, {0.150, 0.060, 1.0}};
    const cmsCIExyYTRIPLE adobe{{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
    const cmsCIExyYTRIPLE srgb{{0.64, 0.33, 1.0}, {0.30, 0.60, 1.0}, {0.15, 0.06, 1.0}};
    const bool ok = save(rgb(swapped, srgbCurve()), dir + "/swapped.icc", "Swapped red and green")
                    && save(rgb(p3, srgbCurve()), dir + "/p3.icc", "Display P3")
                    && save(rgb(adobe, cmsBuildGamma(nullptr, 563.0 / 256.0)), dir + "/adobergb.icc",
                            "Adobe RGB (1998)")
                    && save(rgb(srgb, srgbCurve()), dir + "/srgb.icc", "sRGB");
    return ok ? 0 : 1;
}
