#pragma once

#include <QImage>

#include <cstddef>
#include <functional>
#include <optional>

namespace dovrante {

// A PNG decoded by libpng alone, which can start before the application is set up: Qt's reader
// would first wake its image plugins. Screenshots come as PNGs of 8-bit colour, grey or palette.
struct PlainPng {
    // In the format and colour space Qt's reader gives it.
    QImage image;
    // From the file's resolution, or 0 where it gives none and Qt's default applies.
    int dotsPerMeterX = 0;
    int dotsPerMeterY = 0;
};

// Gives the picture's next `length` bytes; false when they end first.
using PngBytes = std::function<bool(unsigned char *out, std::size_t length)>;

// The picture, pixel for pixel as Qt's reader would give it; nothing when the bytes are not such
// a PNG, are damaged, or need more than `limitMegabytes` of memory, all of which are left to Qt's
// reader and its messages. The bytes are read as the picture needs them, so a picture can be
// decoded while its later parts are still coming.
std::optional<PlainPng> readPlainPng(const PngBytes &next, int limitMegabytes);

} // namespace dovrante
