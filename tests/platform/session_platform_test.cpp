#include "platform/qt/session_platform.h"

#include <gtest/gtest.h>

namespace dovrante::test {
namespace {

SessionEnvironment session(std::string type, std::string wayland, std::string x11,
                           std::string qtPlatform = {})
{
    return {std::move(qtPlatform), std::move(wayland), std::move(x11), std::move(type)};
}

TEST(SessionPlatformTest, WaylandSessionsRunThroughXWaylandWhereThereIsOne)
{
    EXPECT_EQ(choosePlatform(session("wayland", "wayland-0", ":0")),
              PlatformChoice::ThroughXWayland);
    // A Wayland display without the session's word for it is a Wayland session as well.
    EXPECT_EQ(choosePlatform(session("", "wayland-1", ":1")), PlatformChoice::ThroughXWayland);
    EXPECT_EQ(choosePlatform(session("wayland", "", ":0")), PlatformChoice::ThroughXWayland);
}

TEST(SessionPlatformTest, WaylandWithoutXWaylandIsToldRatherThanShownAnEmptyWindow)
{
    EXPECT_EQ(choosePlatform(session("wayland", "wayland-0", "")),
              PlatformChoice::NoClipboardAtStart);
    EXPECT_EQ(choosePlatform(session("", "wayland-0", "")), PlatformChoice::NoClipboardAtStart);
    EXPECT_EQ(choosePlatform(session("wayland", "", "")), PlatformChoice::NoClipboardAtStart);

    const std::string message = noClipboardAtStartMessage();
    EXPECT_NE(message.find("XWayland"), std::string::npos);
    EXPECT_NE(message.find("X11 session"), std::string::npos);
}

TEST(SessionPlatformTest, X11SessionsAndTheUsersOwnChoiceAreLeftToQt)
{
    EXPECT_EQ(choosePlatform(session("x11", "", ":0")), PlatformChoice::AsItIs);
    EXPECT_EQ(choosePlatform(session("", "", ":0")), PlatformChoice::AsItIs);
    EXPECT_EQ(choosePlatform(session("tty", "", "")), PlatformChoice::AsItIs);
    for (const char *chosen : {"wayland", "xcb", "offscreen"}) {
        EXPECT_EQ(choosePlatform(session("wayland", "wayland-0", "", chosen)),
                  PlatformChoice::AsItIs)
            << chosen;
        EXPECT_EQ(choosePlatform(session("wayland", "wayland-0", ":0", chosen)),
                  PlatformChoice::AsItIs)
            << chosen;
    }
}

} // namespace
} // namespace dovrante::test
