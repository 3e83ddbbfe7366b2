#include "app/form1.h"

namespace dovrante {

namespace {

void place(Control &control, float left, float top, float width, float height, int tabIndex)
{
    control.left = left;
    control.top = top;
    control.width = width;
    control.height = height;
    control.tabIndex = tabIndex;
}

void design(Button &button, const char *caption, const char *toolTip, float left, float top,
            float width, float height, int tabIndex)
{
    button.caption = caption;
    button.toolTip = toolTip;
    place(button, left, top, width, height, tabIndex);
}

} // namespace

Form1::Form1(Form1Services services) : m_services(std::move(services))
{
    design(cmdOpen, "O", "Open a .clp file", 2520, 240, 255, 300, 20);
    design(cmdFolders, "F", "Open a text file of Folder names", 6720, 240, 255, 300, 18);
    design(cmdMin, "_", "Toggle the Toolbar on and off", 9360, 240, 255, 300, 17);
    design(cmdSave, "S", "Save the Screen Image to a file", 6960, 240, 255, 300, 16);
    design(cmdBmpData, "B", "Open the BMP Data Folder ()", 8280, 240, 255, 300, 15);
    design(cmdTxtData, "T", "Edit the Text Data File", 8040, 240, 255, 300, 14);
    design(cmdCaption, "C", "F2 - Set the Form Caption", 5520, 240, 255, 300, 13);
    design(cmdFontP, "P", "Set Font to 'Arial Black' and '36'", 3480, 240, 255, 300, 11);
    design(cmdSaveAs, "SaveAs", "Save the Screen Image to a file", 7200, 240, 855, 300, 10);
    design(cmdIdeas, "Ideas", "Edit the Ideas file", 8640, 240, 615, 300, 9);
    design(cmdReload, "Reload", "F5 - Reload from the Clipboard (Right_Click)", 5880, 240, 720, 300,
           8);
    design(cmdFont, "Font", "Set Font values", 2880, 240, 500, 300, 7);
    design(cmdColor, "Color", "Toggle between 'Color' and 'Black and White'", 4800, 240, 600, 300,
           6);
    design(cmdPrint, "Print", "Print the Screen Image", 4080, 240, 600, 300, 5);

    txtMin.text = "txtMin";
    txtMin.toolTip = "Toggle the Toolbar on and off";
    place(txtMin, 2160, 240, 255, 300, 19);
    txtCaption.text = "txtCaption";
    txtCaption.toolTip = "text for the Form Caption";
    place(txtCaption, 5640, 840, 1575, 375, 12);

    RichTextBox1.text = "RichTextBox1";
    RichTextBox1.backColour = WindowBackground;
    place(RichTextBox1, 3360, 840, 1935, 1935, 4);

    place(HScroll1, 360, 3120, 2655, 375, 3);
    HScroll1.max = 100;
    HScroll1.largeChange = 10;
    place(VScroll1, 2640, 840, 375, 2055, 2);

    place(Picture2, 120, 120, 1695, 615, 1);
    place(Picture1, 360, 840, 1935, 1935, 0);
    Picture1.backColour = WindowBackground;
    place(Image1, 120, 1080, 1695, 615, -1);
    CommonDialog1.visible = false;
}

Control *Form1::takeFocusRequest()
{
    Control *request = m_focusRequest;
    m_focusRequest = nullptr;
    return request;
}

std::string programFileOf(const ProgramLocation &program, const std::string &ending)
{
    return program.programFolder() + "/" + program.baseName() + ending;
}

std::string Form1::programFile(const std::string &ending) const
{
    return programFileOf(m_services.program, ending);
}

bool Form1::holdsAClip(const std::string &action)
{
    if (clipKind == ClipKind::Text || clipKind == ClipKind::Picture)
        return true;
    // The view may still show an earlier clip, but the text view's design text or a clip the
    // last capture replaced is not what the person has in mind.
    m_services.messageBox.show("The last capture found neither text nor a picture: there is "
                               "nothing to " +
                               action + ".");
    return false;
}

} // namespace dovrante
