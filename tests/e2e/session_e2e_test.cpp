// The program started as a Wayland session without XWayland would start it: a Wayland display
// name that leads nowhere stands in for the compositor, and there is no X11 display.

#include "e2e_harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace dovrante::e2e {
namespace {

TEST(SessionE2eTest, OnAWaylandSessionWithoutXWaylandItSaysWhyInsteadOfStartingEmpty)
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
