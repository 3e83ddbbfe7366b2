// A picture the program finds as it starts is drawn one device pixel per pixel under the moment's
// name, on a plain screen and on one scaled by two as on a HiDPI desktop, where the tool bar keeps
// its place in twips of the logical screen; and the horizontal bar moves it. Screenshots are in
// device pixels.

#include "e2e_harness.h"

#include <QDateTime>
#include <QRandomGenerator>

namespace dovrante::e2e {
namespace {

struct Picture {
    const char *name;
    int width;
    int height;
    int scale = 1; // device pixels to the logical pixel
    QPoint clickAt = {};
    int clicks = 0;
    int shiftThen = 0; // where the picture's first column lies after the clicks
    friend void PrintTo(const Picture &row, std::ostream *out) { *out << row.name; }
};

class PictureE2eTest : public E2eTest, public ::testing::WithParamInterface<Picture> {};

TEST_P(PictureE2eTest, IsDrawnPixelForPixel)
{
    const Picture &p = GetParam();
    // Noise: drawn stretched or shifted by one device pixel it no longer matches, and it does
    // not compress.
    QImage picture(p.width, p.height, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            picture.setPixel(x, y, random.generate() | 0xff000000u);
    const std::string bytes = png(picture);
    if (p.width > 1000) { // megabytes, which the owner hands over in parts
        ASSERT_GT(bytes.size(), 4u << 20);
    }
    clipboard.put(bytes, "image/png");
    program.setEnvironment("QT_SCALE_FACTOR", std::to_string(p.scale));
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    program.start();
    ASSERT_FALSE(program.waitForWindow().empty());
    const QString title = QString::fromStdString(program.title());
    const QDateTime named = QDateTime::fromString(title, "yyyyMMdd HHmmss'.jpg'");
    EXPECT_TRUE(named >= before && named <= QDateTime::currentDateTime()) << title.toStdString();

    // Compared left of the tool bar, down to the last row.
    int shift = 0;
    const auto drawn = [&](const QImage &shot) {
        for (int y = 0; y < p.height; ++y)
            for (int x = std::max(shift, 0); x < std::min(shift + p.width, 1400); ++x)
                if ((shot.pixel(x, y) ^ picture.pixel(x - shift, y)) & 0xffffff)
                    return false;
        return true;
    };
    const QImage shot = screenWhen(drawn);
    EXPECT_TRUE(drawn(shot));
    // The tool bar is laid out on the logical screen: the pink box stands 45 of its pixels from
    // its right edge.
    const QRect pink(1920 / p.scale - 45, 6, 17, 20);
    const QColor Pink(255, 153, 204);
    EXPECT_TRUE(near(shot.pixelColor((pink.topLeft() + QPoint(3, 4)) * p.scale), Pink));
    // The picture view lies behind the tool bar; beside the toggle it shows, not the toggle.
    for (int x : {pink.left() - 2, pink.right() + 2})
        EXPECT_FALSE(near(shot.pixelColor(QPoint(x, pink.center().y()) * p.scale), Pink)) << x;

    // Where the edge is the point, a click lost on the way is made up for; that each click moves
    // the picture by one step is the input table's to check. A click is made up for only after a
    // wait that a slow repaint on a busy machine does not reach, as a row of one click would
    // otherwise be moved twice.
    shift = p.shiftThen;
    for (int i = 0; i < p.clicks; ++i)
        program.clickAt(p.clickAt.x(), p.clickAt.y());
    for (int extra = 0; extra < p.clicks && !waitUntil([&] { return drawn(screenshot()); }, 15s);
         ++extra)
        program.clickAt(p.clickAt.x(), p.clickAt.y());
    EXPECT_TRUE(drawn(screenWhen(drawn))) << "not drawn at shift " << shift;
}

const QPoint RightArrow(1888, 1038), TrackEnd(1860, 1038);

const Picture Pictures[] = {
    {"Small", 203, 121},
    {"TooLargeForOneAnswer", 1600, 1000},
    // Odd sizes: half a logical pixel at the edges.
    {"OnAScreenScaledByTwo", 203, 121, 2},
    // Smaller than the viewport, it moves right by an arrow step of 4 pixels.
    {"ArrowMovesASmallOneRight", 400, 600, 1, RightArrow, 1, 4},
    // Its overhang is far beyond the bar's 16 bits; each click pages right, to the far edge.
    {"PagedToTheFarEdgeOfAVeryWideOne", 16384, 100, 1, TrackEnd, 10, 1896 - 16384},
};

INSTANTIATE_TEST_SUITE_P(Pictures, PictureE2eTest, ::testing::ValuesIn(Pictures), RowName);

} // namespace
} // namespace dovrante::e2e
