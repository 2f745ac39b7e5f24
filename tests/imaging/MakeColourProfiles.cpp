// Writes the ICC profiles the colour fixtures are tagged with, into the
// folder given: each made from its published primaries, white and curve. And
// the HEIC picture tagged Display P3 by nclx code points, which the format's
// own encoder does not write.
#include <cstdio>
#include <cstring>
#include <lcms2.h>
#include <libheif/heif.h>
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

// Inks as ideal ones would print them (what is left of each colour is its
// share not inked, times the share not blackened), then red and green
// changing places: through this profile, full magenta and yellow, which
// ideal inks print red, is green.
cmsInt32Number swappedInk(const cmsUInt16Number in[], cmsUInt16Number out[], void *toLab)
{
    const double k = 1.0 - in[3] / 65535.0;
    const double r = (1.0 - in[0] / 65535.0) * k, g = (1.0 - in[1] / 65535.0) * k, b = (1.0 - in[2] / 65535.0) * k;
    const cmsFloat64Number rgb[3] = {g, r, b};
    cmsCIELab lab;
    cmsDoTransform(static_cast<cmsHTRANSFORM>(toLab), rgb, &lab, 1);
    cmsFloat2LabEncodedV2(out, &lab); // the profile is of version 2
    return 1;
}

cmsHPROFILE swappedCmyk()
{
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
    cmsHTRANSFORM toLab = cmsCreateTransform(srgb, TYPE_RGB_DBL, lab, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
    cmsHPROFILE p = cmsCreateProfilePlaceholder(nullptr);
    cmsSetProfileVersion(p, 2.1);
    cmsSetDeviceClass(p, cmsSigOutputClass);
    cmsSetColorSpace(p, cmsSigCmykData);
    cmsSetPCS(p, cmsSigLabData);
    cmsWriteTag(p, cmsSigMediaWhitePointTag, cmsD50_XYZ());
    cmsPipeline *lut = cmsPipelineAlloc(nullptr, 4, 3);
    cmsStage *grid = cmsStageAllocCLut16bit(nullptr, 9, 4, 3, nullptr);
    const bool ok = toLab && lut && grid && cmsStageSampleCLut16bit(grid, swappedInk, toLab, 0)
                    && cmsPipelineInsertStage(lut, cmsAT_BEGIN, grid) && cmsWriteTag(p, cmsSigAToB0Tag, lut);
    if (lut)
        cmsPipelineFree(lut);
    else if (grid)
        cmsStageFree(grid);
    if (toLab)
        cmsDeleteTransform(toLab);
    cmsCloseProfile(lab);
    cmsCloseProfile(srgb);
    if (!ok) {
        cmsCloseProfile(p);
        return nullptr;
    }
    return p;
}

// The four patches (red, green, blue, orange) of 16 x 16, said to be
// Display P3 with the sRGB curve.
bool writeNclxHeic(const std::string &path)
{
    heif_image *image = nullptr;
    if (heif_image_create(64, 16, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image).code != heif_error_Ok)
        return false;
    heif_image_add_plane(image, heif_channel_interleaved, 64, 16, 8);
    int stride = 0;
    uint8_t *pixels = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    const uint8_t patches[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {230, 140, 60}};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 64; ++x)
            std::memcpy(pixels + ptrdiff_t(y) * stride + ptrdiff_t(x) * 3, patches[x / 16], 3);
    heif_color_profile_nclx *nclx = heif_nclx_color_profile_alloc();
    nclx->color_primaries = heif_color_primaries_SMPTE_EG_432_1;
    nclx->transfer_characteristics = heif_transfer_characteristic_IEC_61966_2_1;
    nclx->matrix_coefficients = heif_matrix_coefficients_ITU_R_BT_709_5;
    nclx->full_range_flag = 1;
    heif_image_set_nclx_color_profile(image, nclx);
    heif_context *context = heif_context_alloc();
    heif_encoder *encoder = nullptr;
    heif_encoding_options *options = heif_encoding_options_alloc();
    options->output_nclx_profile = nclx;
    options->macOS_compatibility_workaround_no_nclx_profile = 0;
    bool ok = heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code == heif_error_Ok;
    if (ok) {
        heif_encoder_set_lossy_quality(encoder, 100);
        ok = heif_context_encode_image(context, image, encoder, options, nullptr).code == heif_error_Ok
             && heif_context_write_to_file(context, path.c_str()).code == heif_error_Ok;
        heif_encoder_release(encoder);
    }
    heif_encoding_options_free(options);
    heif_nclx_color_profile_free(nclx);
    heif_context_free(context);
    heif_image_release(image);
    return ok;
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
    cmsToneCurve *linear = cmsBuildGamma(nullptr, 1.0);
    const bool ok = save(rgb(swapped, srgbCurve()), dir + "/swapped.icc", "Swapped red and green")
                    && save(rgb(p3, srgbCurve()), dir + "/p3.icc", "Display P3")
                    && save(rgb(adobe, cmsBuildGamma(nullptr, 563.0 / 256.0)), dir + "/adobergb.icc",
                            "Adobe RGB (1998)")
                    && save(rgb(srgb, srgbCurve()), dir + "/srgb.icc", "sRGB")
                    && save(swappedCmyk(), dir + "/cmyk_swapped.icc", "Ideal inks, red and green swapped")
                    && save(cmsCreateGrayProfile(cmsD50_xyY(), linear), dir + "/grey_linear.icc", "Linear grey")
                    && writeNclxHeic(dir + "/p3_nclx.heic");
    cmsFreeToneCurve(linear);
    return ok ? 0 : 1;
}
