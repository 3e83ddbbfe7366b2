#pragma once

#include <string>

namespace dovrante {

// The parts of the environment that decide which display system the program runs on.
struct SessionEnvironment {
    std::string qtPlatform;     // QT_QPA_PLATFORM: the user's own choice, when set
    std::string waylandDisplay; // WAYLAND_DISPLAY
    std::string x11Display;     // DISPLAY: set where XWayland (or X11) serves the session
    std::string sessionType;    // XDG_SESSION_TYPE
};

enum class PlatformChoice {
    // An X11 session, or a platform the user chose: Qt's own choice stands.
    AsItIs,
    // Wayland hands the clipboard only to a focused window, and the program reads it before its
    // window is shown: it runs as an X11 client of XWayland, which hands it over.
    ThroughXWayland,
    // Wayland without XWayland: the clipboard cannot be read at start; the user is told why.
    NoClipboardAtStart,
};

PlatformChoice choosePlatform(const SessionEnvironment &session);

// The session as the process's environment describes it.
SessionEnvironment currentSession();

// What the user is told for PlatformChoice::NoClipboardAtStart.
std::string noClipboardAtStartMessage();

} // namespace dovrante
