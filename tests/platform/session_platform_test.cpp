#include "platform/qt/session_platform.h"

#include <gtest/gtest.h>

namespace dovrante::test {
namespace {

SessionEnvironment session(std::string type, std::string wayland, std::string x11,
                           std::string qtPlatform = {})
{
    return {std::move(qtPlatform), std::move(wayland), std::move(x11), std::move(type)};
}

TEST(SessionPlatformTest, WaylandRunsThroughXWaylandIsToldWithoutItAndTheRestIsLeftToQt)
{
    using enum PlatformChoice;
    const struct {
        const char *type, *wayland, *x11, *qtPlatform;
        PlatformChoice choice;
    } cases[] = {
        {"wayland", "wayland-0", ":0", "", ThroughXWayland},
        // A Wayland display without the session's word for it is a Wayland session as well.
        {"", "wayland-1", ":1", "", ThroughXWayland},
        {"wayland", "", ":0", "", ThroughXWayland},
        {"wayland", "wayland-0", "", "", NoClipboardAtStart},
        {"", "wayland-0", "", "", NoClipboardAtStart},
        {"wayland", "", "", "", NoClipboardAtStart},
        {"x11", "", ":0", "", AsItIs},
        {"", "", ":0", "", AsItIs},
        {"tty", "", "", "", AsItIs},
        // The user's own choice of platform stands.
        {"wayland", "wayland-0", "", "wayland", AsItIs},
        {"wayland", "wayland-0", ":0", "xcb", AsItIs},
        {"wayland", "wayland-0", "", "offscreen", AsItIs},
    };
    for (const auto &c : cases)
        EXPECT_EQ(choosePlatform(session(c.type, c.wayland, c.x11, c.qtPlatform)), c.choice)
            << c.type << "|" << c.wayland << "|" << c.x11 << "|" << c.qtPlatform;

    const std::string message = noClipboardAtStartMessage();
    EXPECT_NE(message.find("XWayland"), std::string::npos);
    EXPECT_NE(message.find("X11 session"), std::string::npos);
}

} // namespace
} // namespace dovrante::test
