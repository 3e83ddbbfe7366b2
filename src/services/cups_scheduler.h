#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace dovrante {

// A destination's default paper: its size and the margins the device cannot print on, in points.
struct CupsPaper {
    double width = 0;
    double height = 0;
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

// What the CUPS scheduler said when it was asked.
struct CupsAnswer {
    std::string failure; // why it could not be asked; empty when it answered
    std::vector<std::string> names;
    std::string defaultName; // empty when it names no default destination
    std::string defaultDriver;
    std::string defaultUri;
    std::optional<CupsPaper> paper; // nothing when the default destination names none
    bool defaultMonochrome = false;
};

// The CUPS scheduler, asked on a connection of our own with short timeouts, away from the
// window's thread: a scheduler that accepts and never answers, or answers once and then goes
// quiet, costs a few seconds, not minutes, and the window is repainted meanwhile. One answer
// serves every question of one print run, the printer's paper included: nothing else asks CUPS.
class CupsScheduler final {
public:
    CupsScheduler() = default;
    CupsScheduler(const CupsScheduler &) = delete;
    CupsScheduler &operator=(const CupsScheduler &) = delete;

    const CupsAnswer &answer();
    // Why there is no destination to print on, in words for the user.
    std::string noPrinterReason();
    // Hands a finished job file to the destination; nothing when CUPS took it, otherwise why not.
    std::optional<std::string> printFile(const std::string &destination, const std::string &file,
                                         bool monochrome);

private:
    std::optional<CupsAnswer> m_answer;
    std::chrono::steady_clock::time_point m_askedAt;
};

} // namespace dovrante
