#include "platform/qt/png_reader.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QColorSpace>
#include <QPainter>

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

// The PNG with one more chunk after its header.
std::string withChunk(const std::string &png, const std::string &type, const std::string &data)
{
    std::string chunk = type + data;
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : chunk) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    const auto bigEndian = [](std::uint32_t n) {
        return std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
    };
    return png.substr(0, 33) + bigEndian(static_cast<std::uint32_t>(data.size())) + chunk +
           bigEndian(~crc) + png.substr(33);
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

TEST(PngReaderTest, TakesEightBitColourPicturesExactlyAsQtReadsThem)
{
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32}) {
        const std::string png = pngOf(picture(format));
        const std::optional<PlainPng> read = readPlainPng(png, 1100);
        ASSERT_TRUE(read) << format;
        const QImage qt = QImage::fromData(QByteArray::fromStdString(png), "PNG");
        EXPECT_EQ(read->image.format(), qt.format());
        EXPECT_EQ(read->image, qt);
        EXPECT_EQ(read->dotsPerMeterX, 2000);
        EXPECT_EQ(read->dotsPerMeterY, 3000);
        EXPECT_FALSE(read->srgb);
    }
}

TEST(PngReaderTest, AnSrgbPictureIsSaidToBeOne)
{
    const std::string png = pngOf(picture(QImage::Format_RGB32));
    for (const std::string &withSrgb :
         {withChunk(png, "sRGB", std::string(1, '\0')),
          withChunk(withChunk(png, "gAMA", std::string("\0\0\xb1\x8f", 4)), "sRGB",
                    std::string(1, '\0'))}) {
        const std::optional<PlainPng> read = readPlainPng(withSrgb, 1100);
        ASSERT_TRUE(read);
        EXPECT_TRUE(read->srgb);
        EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(withSrgb)).colorSpace(),
                  QColorSpace(QColorSpace::SRgb));
    }
}

TEST(PngReaderTest, LeavesEveryOtherPictureToQt)
{
    const std::string rgb = pngOf(picture(QImage::Format_RGB32));
    QImage withColourSpace = picture(QImage::Format_RGB32);
    withColourSpace.setColorSpace(QColorSpace::DisplayP3);
    std::string crcBroken = rgb;
    crcBroken[rgb.size() - 20] ^= 0x55;
    const struct {
        const char *what;
        std::string bytes;
        int limit;
    } cases[] = {
        {"grey", pngOf(picture(QImage::Format_Grayscale8)), 1100},
        {"palette", pngOf(picture(QImage::Format_RGB32).convertToFormat(QImage::Format_Indexed8)),
         1100},
        {"16 bits", pngOf(picture(QImage::Format_RGBX64)), 1100},
        {"ICC profile", pngOf(withColourSpace), 1100},
        {"own gamma", withChunk(rgb, "gAMA", std::string("\0\0\x75\x30", 4)), 1100},
        {"cut short", rgb.substr(0, rgb.size() / 2), 1100},
        {"damaged", crcBroken, 1100},
        {"not a PNG", "GIF89a and so on", 1100},
        {"over the memory limit", rgb, 0},
    };
    for (const auto &c : cases)
        EXPECT_FALSE(readPlainPng(c.bytes, c.limit)) << c.what;
}

} // namespace
} // namespace dovrante
