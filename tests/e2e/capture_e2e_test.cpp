// The window at start and what it makes of each kind of clip.

#include "e2e_harness.h"

#include <QDateTime>
#include <QPainter>

#include <fstream>
#include <regex>

namespace dovrante::e2e {
namespace {

const QColor PaleYellow(255, 250, 200);
const QColor Pink(255, 153, 204);

// A picture whose first `stripe` columns are red, whose last column is blue, green between.
QImage striped(int width, int height, int stripe)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::green);
    QPainter painter(&image);
    painter.fillRect(0, 0, stripe, height, Qt::red);
    painter.fillRect(width - 1, 0, 1, height, Qt::blue);
    return image;
}

using CaptureE2eTest = E2eTest;

TEST_F(CaptureE2eTest, AnEmptyClipboardShowsThePaleYellowScreenAndThePinkToggle)
{
    clipboard.clear();
    program.start();
    const std::string window = program.waitForWindow();
    ASSERT_FALSE(window.empty()) << "no window covering the screen";
    EXPECT_EQ(program.title(), "Clipboard Print with Options");
    const auto g = windowGeometry(window);
    EXPECT_EQ(g.at("X"), 0);
    EXPECT_EQ(g.at("Y"), 0);

    const QRect pink = pixels(ScreenLayout.txtMin);
    const QImage shot =
        screenWhen([](const QImage &s) { return near(s.pixelColor(960, 700), PaleYellow); });
    EXPECT_TRUE(near(shot.pixelColor(960, 700), PaleYellow));
    // Inside the box, clear of its frame and of the "-" in its middle; left of it the window.
    EXPECT_TRUE(near(shot.pixelColor(pink.left() + 3, pink.top() + 4), Pink));
    EXPECT_TRUE(near(shot.pixelColor(pink.left() - 3, pink.center().y()), PaleYellow));
}

TEST_F(CaptureE2eTest, TextAtStartIsShownAndRecordedOnceAndAPictureThatFailsLeavesIt)
{
    startWith("hello from the clipboard\nsecond line");
    EXPECT_EQ(program.title(), "Clipboard Print with Options");
    const std::string rule(79, '-');
    ASSERT_TRUE(waitUntil([&] { return count(readFile(program.dataFile()), rule) == 1; }));
    EXPECT_NE(
        readFile(program.dataFile())
            .find("\r\n--- --- --- --- --- ---\r\nhello from the clipboard\r\nsecond line\r\n" +
                  rule + "\r\n"),
        std::string::npos)
        << readFile(program.dataFile());
    // The text view's white page covers the pale yellow window.
    const QImage shot =
        screenWhen([](const QImage &s) { return near(s.pixelColor(1000, 600), Qt::white); });
    EXPECT_TRUE(near(shot.pixelColor(1000, 600), Qt::white));

    // A picture that cannot be decoded is reported, and the text view stays.
    const std::string broken = program.home() + "/broken.png";
    std::ofstream(broken) << "these bytes are no picture";
    clipboard.putFile(broken, "image/png");
    program.pressKeys({"F5"});
    const std::string said = program.closeBox("Dovrante", clipboard);
    EXPECT_NE(said.find("cannot be shown"), std::string::npos) << said;
    EXPECT_EQ(program.title(), "Clipboard Print with Options");
    EXPECT_TRUE(near(screenshot().pixelColor(1000, 600), Qt::white)) << "the text view went away";
}

TEST_F(CaptureE2eTest, APictureAtStartIsShownAtNaturalSizeUnderTheMomentsName)
{
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    startWith(striped(400, 300, 20));
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);

    const std::string title = program.title();
    ASSERT_TRUE(std::regex_match(title, std::regex(R"(\d{8} \d{6}\.jpg)"))) << title;
    const QDateTime named =
        QDateTime::fromString(QString::fromStdString(title.substr(0, 15)), "yyyyMMdd HHmmss");
    EXPECT_TRUE(named >= before.addMSecs(-before.time().msec()) && named <= after) << title;

    const QImage shot =
        screenWhen([](const QImage &s) { return near(s.pixelColor(5, 150), Qt::red); });
    EXPECT_TRUE(near(shot.pixelColor(5, 150), Qt::red));
    EXPECT_TRUE(near(shot.pixelColor(200, 150), Qt::green));
    EXPECT_TRUE(near(shot.pixelColor(399, 150), Qt::blue));
    EXPECT_FALSE(near(shot.pixelColor(401, 150), Qt::blue)) << "drawn larger than its natural size";
    EXPECT_FALSE(near(shot.pixelColor(200, 301), Qt::green));
}

// Clicks on the horizontal bar, and where the picture's blue last column then lies.
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
    startWith(striped(s.width, 600, 20));
    screenWhen([](const QImage &shot) { return near(shot.pixelColor(5, 300), Qt::red); });
    const auto arrived = [&](const QImage &now) {
        return near(now.pixelColor(s.blueAt), Qt::blue);
    };
    for (int i = 0; i < s.clicks; ++i)
        program.clickAt(s.clickAt.x(), s.clickAt.y());
    // Where the edge is the point, a click lost on the way is made up for; that each click moves
    // the picture by one step is the input table's to check.
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

TEST_F(CaptureE2eTest, AClipboardOwnerThatNeverAnswersDoesNotHangTheStart)
{
    clipboard.putText("frozen owner");
    clipboard.freezeOwner();
    program.start();
    // Each question to the owner gives up after a few seconds.
    const std::string window = program.waitForWindow(std::chrono::seconds(30));
    clipboard.thawOwner();
    ASSERT_FALSE(window.empty()) << "the window never appeared";
    EXPECT_EQ(program.title(), "Clipboard Print with Options");
}

TEST_F(CaptureE2eTest, AMetafileOnlyClipboardIsReportedByItsFormatNumbers)
{
    const std::string metafile = program.home() + "/clip.wmf";
    std::ofstream(metafile) << "not really a metafile";
    clipboard.putFile(metafile, "image/x-wmf");
    program.start();

    const std::string badFormat = program.closeBox("Dovrante", clipboard);
    EXPECT_NE(badFormat.find("\nBad format: 3\n"), std::string::npos) << badFormat;
    const std::string number = program.closeBox("GetFormat number is", clipboard);
    EXPECT_NE(number.find("\n3\n"), std::string::npos) << number;
    ASSERT_FALSE(program.waitForWindow().empty());
    EXPECT_EQ(program.title(), "Clipboard Print with Options");
}

} // namespace
} // namespace dovrante::e2e
