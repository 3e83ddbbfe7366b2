// The window at start when the clipboard gives it nothing to show, and the bar that scrolls a
// picture.

#include "e2e_harness.h"

#include <fstream>

namespace dovrante::e2e {
namespace {

const QColor PaleYellow(255, 250, 200);
const QColor Pink(255, 153, 204);

struct Start {
    const char *name;
    void (*fill)(XClipboard &, const std::string &home);
    std::vector<std::pair<std::string, std::string>> boxes; // title and part of the text, in order
};

void PrintTo(const Start &start, std::ostream *out)
{
    *out << start.name;
}

class StartE2eTest : public E2eTest, public ::testing::WithParamInterface<Start> {};

TEST_P(StartE2eTest, ShowsOnlyThePaleYellowWindowAndThePinkToggle)
{
    GetParam().fill(clipboard, program.home());
    program.start();
    for (const auto &[title, part] : GetParam().boxes) {
        const std::string said = program.closeBox(title, clipboard);
        EXPECT_NE(said.find(part), std::string::npos) << said;
    }
    // Each question to a frozen owner gives up after a few seconds.
    const std::string window = program.waitForWindow(std::chrono::seconds(30));
    clipboard.thawOwner();
    ASSERT_FALSE(window.empty()) << "no window covering the screen";
    EXPECT_EQ(program.title(), "Clipboard Print with Options");
    const auto g = windowGeometry(window);
    EXPECT_EQ(std::pair(g.at("X"), g.at("Y")), std::pair(0, 0));

    const QRect pink = pixels(ScreenLayout.txtMin);
    const QImage shot =
        screenWhen([](const QImage &s) { return near(s.pixelColor(960, 700), PaleYellow); });
    EXPECT_TRUE(near(shot.pixelColor(960, 700), PaleYellow));
    // Inside the box, clear of its frame and of the "-" in its middle; left of it the window.
    EXPECT_TRUE(near(shot.pixelColor(pink.left() + 3, pink.top() + 4), Pink));
    EXPECT_TRUE(near(shot.pixelColor(pink.left() - 3, pink.center().y()), PaleYellow));
}

const Start Starts[] = {
    {"EmptyClipboard", [](XClipboard &c, const std::string &) { c.clear(); }, {}},
    {"OwnerThatNeverAnswers",
     [](XClipboard &c, const std::string &) {
         c.putText("frozen owner");
         c.freezeOwner();
     },
     {}},
    {"MetafileOnlyReportedByItsFormatNumber",
     [](XClipboard &c, const std::string &home) {
         std::ofstream(home + "/clip.wmf") << "not really a metafile";
         c.putFile(home + "/clip.wmf", "image/x-wmf");
     },
     {{"Dovrante", "\nBad format: 3\n"}, {"GetFormat number is", "\n3\n"}}},
};

INSTANTIATE_TEST_SUITE_P(Starts, StartE2eTest, ::testing::ValuesIn(Starts),
                         [](const auto &row) { return std::string(row.param.name); });

// Clicks on the horizontal bar under a green picture with a blue last column, and where that
// column then lies.
struct Scroll {
    const char *name;
    int width;
    QPoint clickAt;
    int clicks;
    QPoint blueAt;
};

void PrintTo(const Scroll &scroll, std::ostream *out)
{
    *out << scroll.name;
}

class ScrollE2eTest : public E2eTest, public ::testing::WithParamInterface<Scroll> {};

TEST_P(ScrollE2eTest, TheBarMovesThePictureTo)
{
    const Scroll &s = GetParam();
    QImage picture(s.width, 600, QImage::Format_RGB32);
    picture.fill(Qt::green);
    for (int y = 0; y < 600; ++y)
        picture.setPixel(s.width - 1, y, qRgb(0, 0, 255));
    startWith(picture);
    screenWhen([](const QImage &shot) { return near(shot.pixelColor(5, 300), Qt::green); });
    const auto arrived = [&](const QImage &now) {
        return near(now.pixelColor(s.blueAt), Qt::blue);
    };
    // Where the edge is the point, a click lost on the way is made up for; that each click moves
    // the picture by one step is the input table's to check.
    for (int i = 0; i < s.clicks; ++i)
        program.clickAt(s.clickAt.x(), s.clickAt.y());
    for (int extra = 0; extra < s.clicks &&
                        !waitUntil([&] { return arrived(screenshot()); }, std::chrono::seconds(2));
         ++extra)
        program.clickAt(s.clickAt.x(), s.clickAt.y());
    const QImage shot = screenWhen(arrived);
    EXPECT_TRUE(near(shot.pixelColor(s.blueAt), Qt::blue));
    EXPECT_TRUE(near(shot.pixelColor(s.blueAt - QPoint(1, 0)), Qt::green));
}

// The right arrow lies at (1888, 1038), the track's far end at (1860, 1038).
const Scroll Scrolls[] = {
    // 400 pixels wide: an arrow step is 4 pixels, so the last column moves from 399 to 403.
    {"RightTowardsTheTracksEndWhenSmallerThanTheViewport", 400, {1888, 1038}, 1, {403, 300}},
    // 16384 pixels wide: its overhang is far beyond the bar's 16 bits; each click pages right.
    {"ToTheFarEdgeOfAVeryWidePicture", 16384, {1860, 1038}, 10, {1895, 300}},
};

INSTANTIATE_TEST_SUITE_P(Scrolls, ScrollE2eTest, ::testing::ValuesIn(Scrolls),
                         [](const auto &row) { return std::string(row.param.name); });

} // namespace
} // namespace dovrante::e2e
