#include "services/session_platform.h"

#include <cstdlib>

namespace dovrante {

PlatformChoice choosePlatform(const SessionEnvironment &session)
{
    if (!session.qtPlatform.empty())
        return PlatformChoice::AsItIs;
    // Qt runs on Wayland when the session says so; a Wayland display alone also means one, as
    // without DISPLAY Qt's X11 default would not start at all.
    const bool wayland = session.sessionType == "wayland" || !session.waylandDisplay.empty();
    if (!wayland)
        return PlatformChoice::AsItIs;
    return session.x11Display.empty() ? PlatformChoice::NoClipboardAtStart
                                      : PlatformChoice::ThroughXWayland;
}

SessionEnvironment currentSession()
{
    const auto variable = [](const char *name) {
        const char *value = std::getenv(name);
        return std::string(value ? value : "");
    };
    return {variable("QT_QPA_PLATFORM"), variable("WAYLAND_DISPLAY"), variable("DISPLAY"),
            variable("XDG_SESSION_TYPE")};
}

std::string noClipboardAtStartMessage()
{
    return "Dovrante takes the clipboard as it starts, before its window is shown. This Wayland "
           "session hands the clipboard only to a window that has the focus, and it has no "
           "XWayland (DISPLAY is not set) through which Dovrante could read it.\n\n"
           "Start Dovrante in a session with XWayland, or in an X11 session.";
}

} // namespace dovrante
