#pragma once

// The colours a file says its numbers mean (an ICC profile, or the code
// points of H.273 that AVIF and HEIC give instead), and their conversion to
// sRGB or to the screen's own colours. A picture whose file says nothing, or
// says sRGB, has no colour space at all and is never touched.

#include "imaging/codec/Image.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace brisvale::codec {

// Code points of ITU-T H.273, as an nclx box gives them.
struct Cicp {
    int primaries = 2; // 1 BT.709, 9 BT.2020, 11 DCI-P3, 12 Display P3; 2 unspecified
    int transfer = 2;  // 1, 6, 13, 14, 15 the sRGB curve; 8 linear; 16 PQ; 18 HLG; 2 unspecified
};

class ColourSpace {
public:
    enum class Model { Rgb, Cmyk, Grey };

    ~ColourSpace();
    ColourSpace(const ColourSpace &) = delete;
    ColourSpace &operator=(const ColourSpace &) = delete;

    // A profile from a file. Null for sRGB (or a grey one with sRGB's
    // curve), and for a profile that cannot be read or used (damaged,
    // hostile, of a kind no picture here needs): the picture is then shown
    // as if it had none.
    static std::shared_ptr<const ColourSpace> fromIcc(const uint8_t *data, size_t size);
    // Null where the code points say sRGB or say nothing known.
    static std::shared_ptr<const ColourSpace> fromCicp(const Cicp &cicp);
    // PNG's cHRM (white, red, green, blue as x, y pairs) with its gAMA (the
    // encoding exponent, 0.45455 for a 2.2 display); null when it is sRGB
    // or makes no sense.
    static std::shared_ptr<const ColourSpace> fromChromaticities(const double xy[8], double encodingGamma);
    // A calibrated BMP's endpoints (the X, Y, Z of red, green and blue at
    // full strength, white being their sum) and the gamma of each channel.
    static std::shared_ptr<const ColourSpace> fromEndpoints(const double xyz[9], const double gamma[3]);

    Model model() const { return model_; }
    // Equal for the same profile, whichever file it came from.
    uint64_t key() const { return key_; }
    void *profile() const { return profile_; } // the library's handle

private:
    ColourSpace(void *profile, Model model, uint64_t key) : profile_(profile), model_(model), key_(key) {}
    static std::shared_ptr<const ColourSpace> adopt(void *profile, uint64_t key);

    void *profile_;
    Model model_;
    uint64_t key_;
};

using ColourSpacePtr = std::shared_ptr<const ColourSpace>;

enum class ColourTarget {
    Srgb,   // what is written to files and stored
    Screen, // what is painted: the screen's profile, or sRGB without one
};

// The screen's profile as the display server advertises it; none (or one
// that is sRGB, or broken) paints in sRGB.
void setScreenProfile(const uint8_t *data, size_t size);

// A conversion between two colour spaces over pixels laid out one way.
class ColourConversion {
public:
    enum class Layout {
        Bgr,          // 3 bytes a pixel, converted in place
        Bgrx,         // 4 bytes a pixel (a 32-bit toolkit picture), the fourth kept
        Cmyk,         // 4 bytes a pixel in, 3 (blue, green, red) out
        CmykInverted, // the same, with the inverted ink values Adobe writes
    };
    // Takes over the library's transform.
    explicit ColourConversion(void *transform) : transform_(transform) {}
    // A grey profile's tones: each of blue, green and red looked up in its
    // own column of the table (256 grey levels, three bytes each), so a grey
    // pixel becomes the colour its level stands for.
    ColourConversion(const std::array<uint8_t, 768> &table, bool fourBytes)
        : transform_(nullptr), table_(table), fourBytes_(fourBytes)
    {}
    ~ColourConversion();
    ColourConversion(const ColourConversion &) = delete;
    ColourConversion &operator=(const ColourConversion &) = delete;

    // `in` and `out` may be the same buffer.
    void convert(const uint8_t *in, uint8_t *out, size_t pixels) const;

    // Between two profiles of three curves and a matrix, as photographs and
    // screens carry, the library takes several times longer than the tables
    // and matrix they come down to: those are used instead where they give
    // the library's colours to within one step. `fourBytes` as in Bgrx.
    void useCurvesAndMatrix(void *from, void *to, bool fourBytes);

private:
    struct CurvesAndMatrix {
        std::array<std::array<float, 256>, 3> linear;
        std::array<float, 9> matrix;
        static constexpr int kSteps = 16384;
        std::array<std::array<uint8_t, kSteps>, 3> encode;
    };
    void convertByCurves(const uint8_t *in, uint8_t *out, size_t pixels) const;

    std::unique_ptr<const CurvesAndMatrix> curves_;
    void *transform_;
    std::array<uint8_t, 768> table_{};
    bool fourBytes_ = false;
};

// The conversion of pictures in `source` (null: sRGB) to the target, made
// once per profile and kept; null when there is nothing to do or the
// profile cannot be converted (the picture then shows as it is).
std::shared_ptr<const ColourConversion> conversionFor(const ColourSpace *source, ColourTarget target,
                                                      ColourConversion::Layout layout);

// Converts a picture (a true-colour one's pixels, an indexed one's palette)
// from the colour space it carries to the target; it carries none
// afterwards. Nothing happens to a picture without one.
void convertColours(Image &image, Palette &palette, ColourTarget target);

} // namespace brisvale::codec
