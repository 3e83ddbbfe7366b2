#include "app/form1.h"

namespace dovrante {

void Form1::setColourMode(bool colour)
{
    cmdColor.caption = colour ? "Color" : "B/W";
    m_services.printer.setColourMode(colour ? ColourMode::FullColour : ColourMode::Monochrome);
}

void Form1::cmdColor_Click()
{
    // The caption is the program's record of the mode; anything but "Color" counts as B/W.
    setColourMode(cmdColor.caption != "Color");
    setFocus(cmdPrint);
}

} // namespace dovrante
