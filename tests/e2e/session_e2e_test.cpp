// The program started as a Wayland session would start it. The test display is X11: it stands in
// for XWayland, and a Wayland display name that leads nowhere for the compositor.

#include "e2e_harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace dovrante::e2e {
namespace {

TEST(SessionE2eTest, OnAWaylandSessionWithXWaylandItTakesTheClipboardAtStart)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display to test on";
    XClipboard clipboard;
    ProgramUnderTest program;
    program.setEnvironment("XDG_SESSION_TYPE", "wayland");
    program.setEnvironment("WAYLAND_DISPLAY", "dovrante-test-no-compositor");
    program.setEnvironment("QT_QPA_PLATFORM", std::nullopt);
    clipboard.putText("taken through XWayland");
    program.start();
    ASSERT_FALSE(program.waitForWindow().empty());
    EXPECT_TRUE(waitUntil([&] {
        return readFile(program.folder() + "/Dovrante Data.txt").find("taken through XWayland") !=
               std::string::npos;
    }));
}

TEST(SessionE2eTest, OnAWaylandSessionWithoutXWaylandItSaysWhyAndShowsNoWindow)
{
    char pattern[] = "/tmp/dovrante-e2e-XXXXXX";
    const std::string home = ::mkdtemp(pattern);
    const CommandResult result =
        run({"env", "-u", "DISPLAY", "-u", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE=wayland",
             "WAYLAND_DISPLAY=dovrante-test-no-compositor", "HOME=" + home,
             "XDG_RUNTIME_DIR=" + home, "sh", "-c", "exec \"$0\" 2>&1", DOVRANTE_EXECUTABLE});
    std::filesystem::remove_all(home);
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.output.find("no XWayland"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("Start Dovrante in a session with XWayland"), std::string::npos);
}

} // namespace
} // namespace dovrante::e2e
