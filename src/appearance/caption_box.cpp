#include "app/date_time_name.h"
#include "app/form1.h"

namespace dovrante {

namespace {

// The text box counts positions in UTF-16 units: one per character, two beyond the first plane.
int utf16Length(const std::string &utf8)
{
    int units = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0u) != 0x80u)
            units += byte >= 0xF0u ? 2 : 1;
    }
    return units;
}

} // namespace

void Form1::cmdCaption_Click()
{
    if (!txtCaption.visible) {
        txtCaption.visible = true;
        setFocus(txtCaption);
    } else {
        // Hiding the box leaves the caption as it was; only Enter applies the text.
        txtCaption.visible = false;
    }
}

void Form1::txtCaption_GotFocus()
{
    // The whole text is selected so that typing replaces it.
    txtCaption.selStart = 0;
    txtCaption.selLength = utf16Length(txtCaption.text);
}

void Form1::txtCaption_KeyPress(int keyAscii)
{
    if (keyAscii != EnterCharacter)
        return;
    txtCaption.visible = false;
    caption = txtCaption.text;
}

void Form1::setClipName(const std::string &name)
{
    txtCaption.text = name;
    caption = name;
}

void Form1::makeDateCaption()
{
    dateCaption = formatDateTimeName(m_services.clock.now()) + ".jpg";
    // The tooltip announces the automatic save's folder and pattern from a reading of its own.
    cmdSave.toolTip = "Save the Screen Image to a file: " + bmpDataFolder + "/" +
                      formatDateTimeName(m_services.clock.now()) + ".jpg";
}

void Form1::txtCaption_MouseDown(MouseButton button)
{
    if (button != MouseButton::Right)
        return;
    makeDateCaption();
    setClipName(dateCaption);
    m_services.messageBox.show("Reset to Date/Time..");
}

} // namespace dovrante
