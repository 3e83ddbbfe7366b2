#pragma once

#include "app/clip_kind.h"
#include "platform/printer.h"
#include "platform/status_window_host.h"
#include "platform/types.h"

#include <optional>
#include <string>

namespace dovrante {

// The status line: the printer that receives the job and the mode it prints in.
std::string printStatusLine(const std::optional<std::string> &printerName, ColourMode colourMode);

// The print status window: names the printer and the colour mode while a job is made.
class DovrantS final {
public:
    static constexpr const char *Caption = "Dovrante - RVMK Clipboard Print Utility";
    // Light yellow, red 255, green 255, blue 192.
    static constexpr Colour LightYellow = 0xC0FFFF;
    static constexpr const char *NoDefaultPrinter = "(no default printer)";

    struct Services {
        Printer &printer;
        LegacyProfile &profile;
        InstalledPrinters &installedPrinters;
        StatusWindowHost &host;
    };

    // The one label, with its design values (twips).
    struct Label {
        float left = 120;
        float top = 120;
        float width = 6855;
        float height = 495;
        Colour backColour = LightYellow;
        FontSpec font{"MS Sans Serif", 18.0f, false, false, false, false};
        std::string caption = "Printing to ";
    };

    // clipKind: what the capture took, which decides the printed colours.
    DovrantS(Services services, ClipKind clipKind) : m_services(services), m_clipKind(clipKind) {}
    DovrantS(const DovrantS &) = delete;
    DovrantS &operator=(const DovrantS &) = delete;

    std::string caption = Caption;
    Colour backColour = LightYellow;
    float clientWidth = 7170;
    float clientHeight = 840;
    Label labStatus;

    // Shows the window without an owner and paints it at once; the first show loads it.
    void Show();
    // Closes the window; a later show loads it afresh.
    void Unload();
    void Form_Load();

    StatusWindowLook look() const;

private:
    Services m_services;
    ClipKind m_clipKind;
    bool m_loaded = false;
};

} // namespace dovrante
