#include "imaging/ScreenColours.h"

#include <QGuiApplication>
#include <xcb/xcb.h>

#include <memory>
#include <vector>

namespace brisvale {

namespace {

// The root window's _ICC_PROFILE property, or nothing.
std::vector<uint8_t> rootWindowProfile()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return {};
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return {};
    static const char kName[] = "_ICC_PROFILE";
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, sizeof kName - 1, kName), nullptr),
        &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return {};
    // Counted in 32-bit units; no screen's profile comes near 16 MB.
    constexpr uint32_t kLongest = (16u << 20) / 4;
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, screen->root, atom->atom, XCB_ATOM_ANY, 0, kLongest), nullptr),
        &std::free);
    if (!reply || reply->format != 8)
        return {};
    const auto *bytes = static_cast<const uint8_t *>(xcb_get_property_value(reply.get()));
    return std::vector<uint8_t>(bytes, bytes + xcb_get_property_value_length(reply.get()));
}

} // namespace

void LoadScreenProfile()
{
    const std::vector<uint8_t> profile = rootWindowProfile();
    codec::setScreenProfile(profile.data(), profile.size());
}

void ConvertColours(QImage &image, const codec::ColourSpace *colour, codec::ColourTarget target)
{
    using Layout = codec::ColourConversion::Layout;
    if (image.isNull() || (colour && colour->model() == codec::ColourSpace::Model::Cmyk))
        return;
    const bool table = image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono
                       || image.format() == QImage::Format_MonoLSB;
    const auto conversion = codec::conversionFor(colour, target, table ? Layout::Bgr : Layout::Bgrx);
    if (!conversion)
        return;
    if (table) {
        QList<QRgb> colours = image.colorTable();
        for (QRgb &c : colours) {
            uint8_t bgr[3] = {uint8_t(qBlue(c)), uint8_t(qGreen(c)), uint8_t(qRed(c))};
            conversion->convert(bgr, bgr, 1);
            c = qRgba(bgr[2], bgr[1], bgr[0], qAlpha(c));
        }
        image.setColorTable(colours);
        return;
    }
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    if (image.isNull())
        return;
    for (int y = 0; y < image.height(); ++y) {
        uchar *row = image.scanLine(y);
        conversion->convert(row, row, size_t(image.width()));
    }
}

QImage SrgbImage(const Bitmap &bitmap)
{
    QImage image = bitmap.image();
    ConvertColours(image, bitmap.colour().get(), codec::ColourTarget::Srgb);
    return image;
}

} // namespace brisvale
