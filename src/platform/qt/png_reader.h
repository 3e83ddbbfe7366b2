#pragma once

#include <QImage>

#include <optional>
#include <string>

namespace dovrante {

// A PNG decoded by libpng alone. Screenshots come as 8-bit RGB or RGBA PNGs, and these can be
// decoded before the application is set up: Qt's reader would first wake its image plugins.
struct PlainPng {
    // Format_RGB32 or Format_ARGB32, as Qt's reader gives them.
    QImage image;
    // From the file's resolution, or 0 where it gives none and Qt's default applies.
    int dotsPerMeterX = 0;
    int dotsPerMeterY = 0;
    // The file says its colours are sRGB.
    bool srgb = false;
};

// The picture, pixel for pixel as Qt's reader would give it; nothing when the bytes are not such
// a PNG, are damaged, or need more than `limitMegabytes` of memory, all of which are left to Qt's
// reader and its messages.
std::optional<PlainPng> readPlainPng(const std::string &bytes, int limitMegabytes);

} // namespace dovrante
