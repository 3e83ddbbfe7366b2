#include "platform/qt/png_reader.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace dovrante {

namespace {

struct Source {
    const std::string &bytes;
    std::size_t at = 0;
};

void readSource(png_structp png, png_bytep out, png_size_t length)
{
    auto *source = static_cast<Source *>(png_get_io_ptr(png));
    if (length > source->bytes.size() - source->at)
        png_error(png, "the picture ends early");
    std::memcpy(out, source->bytes.data() + source->at, length);
    source->at += length;
}

void ignoreWarning(png_structp, png_const_charp)
{}

// Quiet: a picture this reader cannot take goes on to Qt's reader, which reports what is wrong.
[[noreturn]] void leave(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

enum class Outcome { Decoded, LeftToQt };

// libpng reports errors by longjmp back into this function: everything with a destructor lives in
// the caller.
Outcome decode(png_structp png, png_infop info, Source &source, int limitMegabytes,
               std::vector<png_bytep> &rows, PlainPng &out)
{
    if (setjmp(png_jmpbuf(png)))
        return Outcome::LeftToQt;
    png_set_read_fn(png, &source, readSource);
#if defined(PNG_SET_OPTION_SUPPORTED) && defined(PNG_MAXIMUM_INFLATE_WINDOW)
    // As Qt's reader: pictures with an over-long distance code still decode.
    png_set_option(png, PNG_MAXIMUM_INFLATE_WINDOW, PNG_OPTION_ON);
#endif
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colour = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colour, &interlace, nullptr, nullptr);
    if (depth != 8 || (colour != PNG_COLOR_TYPE_RGB && colour != PNG_COLOR_TYPE_RGB_ALPHA) ||
        png_get_valid(png, info, PNG_INFO_tRNS | PNG_INFO_iCCP))
        return Outcome::LeftToQt;
    int intent = -1;
    out.srgb = png_get_sRGB(png, info, &intent) && intent >= 0 && intent <= 3;
    // Qt gives a picture with its own gamma a colour space of its own.
    if (!out.srgb && png_get_valid(png, info, PNG_INFO_gAMA))
        return Outcome::LeftToQt;
    if (4.0 * width * height / (1024.0 * 1024.0) > limitMegabytes)
        return Outcome::LeftToQt;

    // Qt's ARGB32 is B, G, R, A in memory; without alpha the fourth byte is filled.
    png_set_bgr(png);
    if (colour == PNG_COLOR_TYPE_RGB)
        png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    if (interlace != PNG_INTERLACE_NONE)
        png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out.image = QImage(static_cast<int>(width), static_cast<int>(height),
                       colour == PNG_COLOR_TYPE_RGB ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    if (out.image.isNull())
        return Outcome::LeftToQt;
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = out.image.scanLine(static_cast<int>(y));
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    out.dotsPerMeterX = static_cast<int>(png_get_x_pixels_per_meter(png, info));
    out.dotsPerMeterY = static_cast<int>(png_get_y_pixels_per_meter(png, info));
    return Outcome::Decoded;
}

} // namespace

std::optional<PlainPng> readPlainPng(const std::string &bytes, int limitMegabytes)
{
    if (bytes.size() < 8 || png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, 8))
        return std::nullopt;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, leave, ignoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return std::nullopt;
    }
    Source source{bytes};
    std::vector<png_bytep> rows;
    PlainPng decoded;
    const Outcome outcome = decode(png, info, source, limitMegabytes, rows, decoded);
    png_destroy_read_struct(&png, &info, nullptr);
    if (outcome != Outcome::Decoded)
        return std::nullopt;
    return decoded;
}

} // namespace dovrante
