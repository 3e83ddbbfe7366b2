// The program on the Linux desktop as it is: the focus where a person expects it, with or without
// a window manager.

#include "e2e_harness.h"

namespace dovrante::e2e {
namespace {

// On a display of its own with no window manager, where nobody hands the focus back.
TEST(FocusWithoutWindowManagerE2eTest, ReturnsToTheWindowWhenAMessageBoxCloses)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display";
    const OwnDisplay display;
    ASSERT_TRUE(display.ok()) << "no display of its own";
    ProgramUnderTest program;
    program.start();
    const std::string window = program.waitForWindow(60s);
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(waitUntil([&] { return focusedWindow() == window; }, 60s));
    // A click on the bare window shows its caption in a box.
    program.clickAt(600, 500);
    const std::string box = program.waitForWindowTitled("Dovrante", 60s);
    ASSERT_FALSE(box.empty()) << "no message box";
    program.pressKeysIn(box, {"Return"});
    EXPECT_TRUE(waitUntil([&] { return focusedWindow() == window; }, 60s))
        << "the window did not take the focus back";
    run({"xdotool", "key", "Escape"});
    EXPECT_TRUE(program.waitForExit(60s));
}

} // namespace
} // namespace dovrante::e2e
