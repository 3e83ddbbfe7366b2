// A picture the program finds as it starts is drawn one device pixel per pixel under the moment's
// name, on a plain screen and on one scaled by two as on a HiDPI desktop, where the tool bar keeps
// its place in twips of the logical screen. Screenshots are in device pixels.

#include "e2e_harness.h"

#include <QDateTime>
#include <QRandomGenerator>

#include <cmath>
#include <filesystem>
#include <optional>
#include <regex>

namespace dovrante::e2e {
namespace {

struct Picture {
    const char *name;
    int width;
    int height;
    int scale; // device pixels to the logical pixel
};

void PrintTo(const Picture &picture, std::ostream *out)
{
    *out << picture.name;
}

class PictureAtStartE2eTest : public E2eTest, public ::testing::WithParamInterface<Picture> {};

TEST_P(PictureAtStartE2eTest, IsDrawnPixelForPixel)
{
    const Picture &p = GetParam();
    // Noise: drawn stretched or shifted by one device pixel it no longer matches, and it does
    // not compress.
    QImage picture(p.width, p.height, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            picture.setPixel(x, y, random.generate() | 0xff000000u);
    const std::string path = program.home() + "/clip.png";
    clipboard.putImage(picture, path);
    // Megabytes, which the owner hands over in parts.
    if (p.width > 1000) {
        ASSERT_GT(std::filesystem::file_size(path), 4u << 20);
    }
    program.setEnvironment("QT_SCALE_FACTOR", std::to_string(p.scale));
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    program.start();
    ASSERT_FALSE(program.waitForWindow(std::chrono::seconds(20)).empty());

    const std::string title = program.title();
    ASSERT_TRUE(std::regex_match(title, std::regex(R"(\d{8} \d{6}\.jpg)"))) << title;
    const QDateTime named =
        QDateTime::fromString(QString::fromStdString(title.substr(0, 15)), "yyyyMMdd HHmmss");
    EXPECT_TRUE(named >= before.addMSecs(-before.time().msec()) &&
                named <= QDateTime::currentDateTime())
        << title;

    // Compared left of the tool bar, down to the last row.
    const auto mismatch = [&](const QImage &shot) -> std::optional<QPoint> {
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < std::min(p.width, 1400); ++x)
                if ((shot.pixel(x, y) ^ picture.pixel(x, y)) & 0xffffff)
                    return QPoint(x, y);
        return std::nullopt;
    };
    // The screen is 1920 x 1080 device pixels, at 15 twips to the logical pixel.
    const StartupLayout layout = computeStartupLayout(static_cast<float>(1920 * 15 / p.scale),
                                                      static_cast<float>(1080 * 15 / p.scale));
    const auto device = [&](float twips) { return p.scale * int(std::lround(twips / 15)); };
    const Place &toggle = layout.txtMin;
    const QRect pink(device(toggle.left), device(toggle.top), device(toggle.width),
                     device(toggle.height));
    const QPoint inPink = pink.topLeft() + QPoint(3, 4) * p.scale;
    const QColor Pink(255, 153, 204);
    const QImage shot = screenWhen(
        [&](const QImage &s) { return !mismatch(s) && near(s.pixelColor(inPink), Pink); });
    const std::optional<QPoint> at = mismatch(shot);
    EXPECT_FALSE(at.has_value()) << "first at " << at->x() << "," << at->y() << ": "
                                 << shot.pixelColor(*at).name().toStdString() << " for "
                                 << picture.pixelColor(*at).name().toStdString();
    EXPECT_TRUE(near(shot.pixelColor(inPink), Pink)) << "toggle at " << pink.x() << "," << pink.y();
    // The picture view lies behind the tool bar; beside the toggle it shows, not the toggle.
    for (int x : {pink.left() - 2 * p.scale, pink.right() + 2 * p.scale})
        EXPECT_FALSE(near(shot.pixelColor(x, pink.center().y()), Pink)) << "at " << x;
}

// Odd sizes: half a logical pixel at the edges on the scaled screen.
const Picture Pictures[] = {
    {"Small", 203, 121, 1},
    {"TooLargeForOneAnswer", 1600, 1000, 1},
    {"OnAScreenScaledByTwo", 203, 121, 2},
};

INSTANTIATE_TEST_SUITE_P(Pictures, PictureAtStartE2eTest, ::testing::ValuesIn(Pictures),
                         [](const auto &row) { return std::string(row.param.name); });

} // namespace
} // namespace dovrante::e2e
