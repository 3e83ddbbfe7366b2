#include "printing/dovrant_s.h"

#include "app/clip_kind.h"
#include "printing/print_support.h"

namespace dovrante {

std::string printStatusLine(const std::optional<std::string> &printerName, ColourMode colourMode)
{
    return "Printing to " + printerName.value_or(DovrantS::NoDefaultPrinter) +
           (colourMode == ColourMode::Monochrome ? "   (B/W)" : "   (Color)");
}

void DovrantS::Show()
{
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
    m_services.host.showAndPaint(look());
}

void DovrantS::Unload()
{
    m_services.host.close();
    m_loaded = false;
}

void DovrantS::Form_Load()
{
    const std::optional<std::string> printer =
        FindDefaultPrinter(m_services.profile, m_services.installedPrinters);
    // Text is printed in black and white whatever the toggle says.
    if (m_clipKind == ClipKind::Text)
        m_services.printer.setColourMode(ColourMode::Monochrome);
    labStatus.caption = printStatusLine(printer, m_services.printer.colourMode());
}

StatusWindowLook DovrantS::look() const
{
    return StatusWindowLook{caption,        backColour,       clientWidth,     clientHeight,
                            labStatus.left, labStatus.top,    labStatus.width, labStatus.height,
                            labStatus.font, labStatus.caption};
}

} // namespace dovrante
