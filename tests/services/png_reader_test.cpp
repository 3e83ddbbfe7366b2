#include "services/byte_stream.h"
#include "services/png_reader.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QColorSpace>
#include <QPainter>

#include <thread>

namespace dovrante {
namespace {

std::string pngOf(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

std::string bigEndian(std::uint32_t n)
{
    return std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
}

// The picture read from bytes that have all come.
std::optional<PlainPng> decoded(const std::string &bytes, int limitMegabytes = 1100)
{
    ByteStream stream;
    stream.append(bytes);
    stream.end();
    return readPlainPng(
        [&](unsigned char *out, std::size_t length) { return stream.read(out, length); },
        limitMegabytes);
}

// The PNG with one more chunk after its header, or else before its end.
std::string withChunk(const std::string &png, const std::string &type, const std::string &data,
                      bool atEnd = false)
{
    std::string chunk = type + data;
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : chunk) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    const std::size_t at = atEnd ? png.size() - 12 : 33;
    return png.substr(0, at) + bigEndian(static_cast<std::uint32_t>(data.size())) + chunk +
           bigEndian(~crc) + png.substr(at);
}

QImage picture(QImage::Format format)
{
    QImage image(37, 23, format);
    image.fill(QColor(10, 200, 30, 255));
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(3, 4, 20, 9, QColor(250, 5, 60, 128));
    painter.end();
    image.setDotsPerMeterX(2000);
    image.setDotsPerMeterY(3000);
    return image;
}

// The colour space of an sRGB picture, as image programs write it, and of one with a gamma and
// primaries of its own.
const std::string Srgb(1, '\0');
const std::string Gamma = bigEndian(45455);
const std::string OwnGamma = bigEndian(30000);
const std::string Primaries = bigEndian(31270) + bigEndian(32900) + bigEndian(64000) +
                              bigEndian(33000) + bigEndian(30000) + bigEndian(60000) +
                              bigEndian(15000) + bigEndian(6000);

TEST(PngReaderTest, TakesPicturesExactlyAsQtReadsThem)
{
    QImage translucentPalette =
        picture(QImage::Format_ARGB32).convertToFormat(QImage::Format_Indexed8);
    const std::string rgb = pngOf(picture(QImage::Format_RGB32));
    const std::string palette =
        pngOf(picture(QImage::Format_RGB32).convertToFormat(QImage::Format_Indexed8));
    // A palette of two colours with pixels that point past it.
    QImage pastThePalette(5, 3, QImage::Format_Indexed8);
    pastThePalette.setColorTable({qRgb(1, 2, 3), qRgb(200, 100, 50)});
    pastThePalette.fill(7);
    pastThePalette.setPixel(1, 1, 1);
    pastThePalette.setDotsPerMeterX(2000);
    pastThePalette.setDotsPerMeterY(3000);
    const struct {
        const char *what;
        std::string bytes;
    } cases[] = {
        {"indices past the palette", pngOf(pastThePalette)},
        {"colour", rgb},
        {"colour and alpha", pngOf(picture(QImage::Format_ARGB32))},
        {"grey", pngOf(picture(QImage::Format_Grayscale8))},
        {"palette", palette},
        {"palette with alpha", pngOf(translucentPalette)},
        {"sRGB", withChunk(rgb, "sRGB", Srgb)},
        {"sRGB and gamma", withChunk(withChunk(rgb, "gAMA", Gamma), "sRGB", Srgb)},
        {"gamma and primaries", withChunk(withChunk(rgb, "cHRM", Primaries), "gAMA", OwnGamma)},
        {"gamma alone", withChunk(rgb, "gAMA", OwnGamma)},
        // libpng keeps the first, but marks it as not to be relied on, and Qt does not.
        {"palette with its gamma given twice",
         withChunk(withChunk(palette, "gAMA", Gamma), "gAMA", Gamma)},
    };
    for (const auto &c : cases) {
        const std::optional<PlainPng> read = decoded(c.bytes);
        ASSERT_TRUE(read) << c.what;
        const QImage qt = QImage::fromData(QByteArray::fromStdString(c.bytes), "PNG");
        EXPECT_EQ(read->image.format(), qt.format()) << c.what;
        EXPECT_EQ(read->image, qt) << c.what;
        EXPECT_EQ(read->image.colorSpace(), qt.colorSpace()) << c.what;
        EXPECT_EQ(read->dotsPerMeterX, 2000) << c.what;
        EXPECT_EQ(read->dotsPerMeterY, 3000) << c.what;
    }
}

TEST(PngReaderTest, LeavesEveryOtherPictureToQt)
{
    const std::string rgb = pngOf(picture(QImage::Format_RGB32));
    QImage withColourSpace = picture(QImage::Format_RGB32);
    withColourSpace.setColorSpace(QColorSpace::DisplayP3);
    // Damaged where the pixels are, after the colour space has been read.
    const auto damaged = [](std::string png) {
        png[png.size() - 20] ^= 0x55;
        return png;
    };
    const struct {
        const char *what;
        std::string bytes;
        int limit;
    } cases[] = {
        {"16 bits", pngOf(picture(QImage::Format_RGBX64)), 1100},
        {"one bit", pngOf(picture(QImage::Format_RGB32).convertToFormat(QImage::Format_Mono)),
         1100},
        {"ICC profile", pngOf(withColourSpace), 1100},
        {"cut short", rgb.substr(0, rgb.size() / 2), 1100},
        {"damaged", damaged(rgb), 1100},
        {"damaged, with a colour space of its own",
         damaged(withChunk(withChunk(rgb, "cHRM", Primaries), "gAMA", OwnGamma)), 1100},
        // Which Qt refuses to show.
        {"a second palette after the pixels",
         withChunk(pngOf(picture(QImage::Format_RGB32).convertToFormat(QImage::Format_Indexed8)),
                   "PLTE", std::string(9, '\0'), true),
         1100},
        {"not a PNG", "GIF89a and so on", 1100},
        {"over the memory limit", rgb, 0},
    };
    for (const auto &c : cases)
        EXPECT_FALSE(decoded(c.bytes, c.limit)) << c.what;
}

// A large picture is decoded while its later parts are still coming from the clipboard.
TEST(PngReaderTest, DecodesThePartsAsTheyComeAndNeedsThemAll)
{
    const std::string png = pngOf(picture(QImage::Format_ARGB32));
    for (const std::size_t sent : {png.size(), png.size() - 5}) {
        ByteStream stream;
        std::thread owner([&] {
            for (std::size_t at = 0; at < sent; at += 7)
                stream.append(
                    std::string_view(png).substr(at, std::min<std::size_t>(7, sent - at)));
            stream.end();
        });
        const std::optional<PlainPng> read = readPlainPng(
            [&](unsigned char *out, std::size_t length) { return stream.read(out, length); }, 1100);
        owner.join();
        ASSERT_EQ(read.has_value(), sent == png.size()) << sent;
        if (read) {
            EXPECT_EQ(read->image, QImage::fromData(QByteArray::fromStdString(png)));
        }
        EXPECT_EQ(stream.takeAll(), png.substr(0, sent));
    }
}

} // namespace
} // namespace dovrante
