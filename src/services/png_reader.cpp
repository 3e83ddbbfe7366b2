#include "services/png_reader.h"

#include <QColorSpace>

#include <png.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace dovrante {

namespace {

void readSource(png_structp png, png_bytep out, png_size_t length)
{
    if (!(*static_cast<const PngBytes *>(png_get_io_ptr(png)))(out, length))
        png_error(png, "the picture ends early");
}

void ignoreWarning(png_structp, png_const_charp)
{}

// Quiet: a picture this reader cannot take goes on to Qt's reader, which reports what is wrong.
[[noreturn]] void leave(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

enum class Outcome { Decoded, LeftToQt };

// The colour space Qt's reader gives the picture; the pixels themselves are never converted.
std::optional<QColorSpace> colourSpace(png_structp png, png_infop info)
{
    if (png_get_valid(png, info, PNG_INFO_iCCP))
        return std::nullopt; // the profile is Qt's to read
    int intent = -1;
    if (png_get_sRGB(png, info, &intent) && intent >= 0 && intent <= 3)
        return QColorSpace(QColorSpace::SRgb);
    // Chunks that contradict each other leave libpng's values behind but not their "valid" marks,
    // which are what Qt's reader goes by.
    double gamma = 0.0;
    if (!png_get_valid(png, info, PNG_INFO_gAMA) || !png_get_gAMA(png, info, &gamma) ||
        gamma <= 0.0)
        return QColorSpace();
    // The file gives the encoding gamma, a colour space the decoding one.
    const auto decoding = static_cast<float>(1.0 / gamma);
    double w[2], r[2], g[2], b[2];
    if (png_get_valid(png, info, PNG_INFO_cHRM) &&
        png_get_cHRM(png, info, &w[0], &w[1], &r[0], &r[1], &g[0], &g[1], &b[0], &b[1])) {
        const QColorSpace given({w[0], w[1]}, {r[0], r[1]}, {g[0], g[1]}, {b[0], b[1]},
                                QColorSpace::TransferFunction::Gamma, decoding);
        if (given.isValid())
            return given;
    }
    return QColorSpace(QColorSpace::Primaries::SRgb, QColorSpace::TransferFunction::Gamma,
                       decoding);
}

// The format Qt's reader gives the picture, with the transformations that produce it; Invalid
// for the pictures left to Qt (16 bits, one bit, grey with a transparent shade).
QImage::Format prepare(png_structp png, png_infop info, int depth, int colour)
{
    const bool transparentShade = png_get_valid(png, info, PNG_INFO_tRNS);
    if (colour == PNG_COLOR_TYPE_PALETTE) {
        if (depth == 1)
            return QImage::Format_Invalid;
        png_set_packing(png);
        return QImage::Format_Indexed8;
    }
    if (depth != 8)
        return QImage::Format_Invalid;
    if (colour == PNG_COLOR_TYPE_GRAY)
        return transparentShade ? QImage::Format_Invalid : QImage::Format_Grayscale8;
    png_set_expand(png);
    if (colour == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    // Qt's ARGB32 is B, G, R, A in memory; without alpha the fourth byte is filled.
    png_set_bgr(png);
    if (colour & PNG_COLOR_MASK_ALPHA || transparentShade)
        return QImage::Format_ARGB32;
    png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    return QImage::Format_RGB32;
}

// libpng reports errors by longjmp back into this function: everything with a destructor lives in
// the caller.
Outcome decode(png_structp png, png_infop info, png_infop end, const PngBytes &next,
               int limitMegabytes, std::vector<png_bytep> &rows, std::optional<QColorSpace> &space,
               PlainPng &out)
{
    if (setjmp(png_jmpbuf(png)))
        return Outcome::LeftToQt;
    png_set_read_fn(png, const_cast<PngBytes *>(&next), readSource);
    png_set_sig_bytes(png, 8);
#if defined(PNG_SET_OPTION_SUPPORTED) && defined(PNG_MAXIMUM_INFLATE_WINDOW)
    // As Qt's reader: pictures with an over-long distance code still decode.
    png_set_option(png, PNG_MAXIMUM_INFLATE_WINDOW, PNG_OPTION_ON);
#endif
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colour = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colour, &interlace, nullptr, nullptr);
    space = colourSpace(png, info);
    png_colorp palette = nullptr;
    int colours = 0;
    if (!space || 4.0 * width * height / (1024.0 * 1024.0) > limitMegabytes ||
        (colour == PNG_COLOR_TYPE_PALETTE &&
         (!png_get_PLTE(png, info, &palette, &colours) || colours > 256)))
        return Outcome::LeftToQt;
    const QImage::Format format = prepare(png, info, depth, colour);
    if (format == QImage::Format_Invalid)
        return Outcome::LeftToQt;
    if (interlace != PNG_INTERLACE_NONE)
        png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out.image = QImage(static_cast<int>(width), static_cast<int>(height), format);
    if (out.image.isNull())
        return Outcome::LeftToQt;
    if (format == QImage::Format_Indexed8) {
        png_bytep alpha = nullptr;
        int alphas = 0;
        png_get_tRNS(png, info, &alpha, &alphas, nullptr);
        out.image.setColorCount(colours);
        for (int i = 0; i < colours; ++i)
            out.image.setColor(i, qRgba(palette[i].red, palette[i].green, palette[i].blue,
                                        alpha && i < alphas ? alpha[i] : 0xff));
    }
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = out.image.scanLine(static_cast<int>(y));
    png_read_image(png, rows.data());
    png_read_end(png, end);
    if (format == QImage::Format_Indexed8) {
        // An index past the palette is shown as the first colour, as Qt's reader does. Such
        // indices are rare: the largest one is found first, in a pass the compiler vectorises.
        png_byte largest = 0;
        for (png_bytep row : rows)
            largest = std::max(largest, *std::max_element(row, row + width));
        if (largest >= colours) {
            for (png_bytep row : rows)
                std::replace_if(
                    row, row + width, [&](png_byte i) { return i >= colours; }, 0);
        }
    }
    out.image.setColorSpace(*space);
    out.dotsPerMeterX = static_cast<int>(png_get_x_pixels_per_meter(png, info));
    out.dotsPerMeterY = static_cast<int>(png_get_y_pixels_per_meter(png, info));
    return Outcome::Decoded;
}

} // namespace

std::optional<PlainPng> readPlainPng(const PngBytes &next, int limitMegabytes)
{
    unsigned char signature[8];
    if (!next(signature, sizeof signature) || png_sig_cmp(signature, 0, sizeof signature))
        return std::nullopt;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, leave, ignoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    // The chunks after the pixels go into an info of their own and are checked as they are read,
    // as Qt's reader does: without one libpng skips them unchecked, and a picture Qt refuses (one
    // with a second palette there, say) would be shown.
    png_infop end = info ? png_create_info_struct(png) : nullptr;
    if (!end) {
        png_destroy_read_struct(&png, &info, nullptr);
        return std::nullopt;
    }
    std::vector<png_bytep> rows;
    std::optional<QColorSpace> space;
    PlainPng decoded;
    const Outcome outcome = decode(png, info, end, next, limitMegabytes, rows, space, decoded);
    png_destroy_read_struct(&png, &info, &end);
    if (outcome != Outcome::Decoded)
        return std::nullopt;
    return decoded;
}

} // namespace dovrante
