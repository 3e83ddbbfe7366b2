// The program on a screen scaled by two, as on a HiDPI desktop: two device pixels to the logical
// pixel. Screenshots are in device pixels.

#include "e2e_harness.h"

#include <cmath>

namespace dovrante::e2e {
namespace {

constexpr int Scale = 2;
constexpr double TwipsPerLogicalPixel = 15.0; // Qt keeps 96 logical DPI when it scales

QRect deviceRect(const Place &place)
{
    const auto device = [](float twips) {
        return Scale * static_cast<int>(std::lround(twips / TwipsPerLogicalPixel));
    };
    return QRect(device(place.left), device(place.top), device(place.width), device(place.height));
}

// Every pixel differs from its neighbours, so a picture drawn stretched or shifted by even one
// device pixel does not match it.
QImage patterned(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 2 ? 255 : 0));
    }
    return image;
}

TEST(HiDpiE2eTest, APictureCoversOneDevicePixelPerPixelAndTheToolBarKeepsItsPlaceInTwips)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display to test on";
    XClipboard clipboard;
    ProgramUnderTest program;
    program.setEnvironment("QT_SCALE_FACTOR", std::to_string(Scale));

    const QImage picture = patterned(203, 121); // odd sizes: half a logical pixel at the edges
    clipboard.putImage(picture, program.home() + "/picture.png");
    program.start();
    ASSERT_FALSE(program.waitForWindow().empty()) << "no window covering the screen's 1920 x 1080";

    // The screen is 960 x 540 logical pixels; the tool bar is laid out in twips from that.
    const StartupLayout layout = computeStartupLayout(960 * 15, 540 * 15);
    const QRect pink = deviceRect(layout.txtMin);
    const QImage shot = screenWhen([&](const QImage &s) {
        return s.pixel(0, 0) == picture.pixel(0, 0) &&
               near(s.pixelColor(pink.left() + 6, pink.top() + 8), QColor(255, 153, 204));
    });
    ASSERT_FALSE(shot.isNull());

    int mismatches = 0;
    QPoint first(-1, -1);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if ((shot.pixel(x, y) & 0xffffff) != (picture.pixel(x, y) & 0xffffff)) {
                if (mismatches++ == 0)
                    first = QPoint(x, y);
            }
        }
    }
    EXPECT_EQ(mismatches, 0) << "first at " << first.x() << "," << first.y() << ": "
                             << shot.pixelColor(first).name().toStdString() << " for "
                             << picture.pixelColor(first).name().toStdString();

    EXPECT_TRUE(near(shot.pixelColor(pink.left() + 6, pink.top() + 8), QColor(255, 153, 204)))
        << "toggle at " << pink.left() << "," << pink.top();
    // The picture view lies behind the tool bar; beside the toggle it shows, not the toggle.
    EXPECT_FALSE(near(shot.pixelColor(pink.left() - 4, pink.center().y()), QColor(255, 153, 204)))
        << "left of the toggle";
    EXPECT_FALSE(near(shot.pixelColor(pink.right() + 4, pink.center().y()), QColor(255, 153, 204)))
        << "right of the toggle";
}

} // namespace
} // namespace dovrante::e2e
