#include "app/toolbar_layout.h"
#include "e2e_harness.h"

#include <gtest/gtest.h>

#include <cmath>

namespace dovrante::e2e {
namespace {

constexpr double TwipsPerPixel = 15.0; // the test display runs at 96 DPI

int toPixels(float twips)
{
    return static_cast<int>(std::lround(twips / TwipsPerPixel));
}

bool near(QColor actual, QColor expected)
{
    return std::abs(actual.red() - expected.red()) <= 8 &&
           std::abs(actual.green() - expected.green()) <= 8 &&
           std::abs(actual.blue() - expected.blue()) <= 8;
}

class StartupE2eTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display to test on";
    }

    XClipboard clipboard;
    ProgramUnderTest program;
};

TEST_F(StartupE2eTest, CoversTheScreenUnderTheDesignCaptionWithAnEmptyClipboard)
{
    clipboard.clear();
    program.start();
    ASSERT_FALSE(program.waitForWindow().empty()) << "no window appeared";

    EXPECT_EQ(program.title(), "Clipboard Print with Options");
    const WindowGeometry g = program.geometry();
    EXPECT_EQ(g.x, 0);
    EXPECT_EQ(g.y, 0);
    EXPECT_EQ(g.width, 1920);
    EXPECT_EQ(g.height, 1080);
}

TEST_F(StartupE2eTest, ShowsThePaleYellowWindowAndThePinkToggleWhereTheLayoutPutsThem)
{
    clipboard.clear();
    program.start();
    ASSERT_FALSE(program.waitForWindow().empty());

    const StartupLayout layout = computeStartupLayout(1920 * 15, 1080 * 15);
    const QRect pink(toPixels(layout.txtMin.left), toPixels(layout.txtMin.top),
                     toPixels(layout.txtMin.width), toPixels(layout.txtMin.height));
    QImage shot;
    // The first frame may take a moment to reach the screen.
    waitUntil([&] {
        shot = screenshot();
        return !shot.isNull() && near(shot.pixelColor(960, 700), QColor(255, 250, 200));
    });
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(near(shot.pixelColor(960, 700), QColor(255, 250, 200)))
        << "background " << shot.pixelColor(960, 700).name().toStdString();
    // Inside the box, clear of its frame and of the "-" in its middle.
    const QPoint inside(pink.left() + 3, pink.top() + 4);
    EXPECT_TRUE(near(shot.pixelColor(inside), QColor(255, 153, 204)))
        << "toggle " << shot.pixelColor(inside).name().toStdString();
    // Just left of the box lies the window's background again.
    const QPoint outside(pink.left() - 3, pink.center().y());
    EXPECT_TRUE(near(shot.pixelColor(outside), QColor(255, 250, 200)))
        << "left of the toggle " << shot.pixelColor(outside).name().toStdString();
}

TEST_F(StartupE2eTest, EscapeEndsTheProgram)
{
    clipboard.clear();
    program.start();
    ASSERT_FALSE(program.waitForWindow().empty());
    program.pressKeys({"Escape"});
    EXPECT_TRUE(program.waitForExit());
}

} // namespace
} // namespace dovrante::e2e
