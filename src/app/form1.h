#pragma once

#include "app/clip_kind.h"
#include "app/controls.h"
#include "app/form1_services.h"
#include "platform/window_input.h"

#include <string>

namespace dovrante {

// The main window as a model: its controls, its state and its handlers, with no widgets.
// The view mirrors it onto the screen after every event and routes the widgets' events here.
class Form1 final {
public:
    static constexpr const char *DesignCaption = "Clipboard Print with Options";
    static constexpr Colour WindowBackground = 0xFFFFFF;

    explicit Form1(Form1Services services);
    Form1(const Form1 &) = delete;
    Form1 &operator=(const Form1 &) = delete;

    // --- The window itself ---
    std::string caption = DesignCaption;
    Colour backColour = WindowBackground;
    FontSpec font = sansSerif(true);
    bool keyPreview = true;
    float left = 1095;
    float top = 1485;
    float width = 9690;
    float height = 6510;

    // --- Controls, with their design values ---
    Button cmdOpen;
    TextBox txtMin;
    Button cmdFolders;
    Button cmdMin;
    Button cmdSave;
    Button cmdBmpData;
    Button cmdTxtData;
    Button cmdCaption;
    TextBox txtCaption;
    Button cmdFontP;
    Button cmdSaveAs;
    Button cmdIdeas;
    Button cmdReload;
    Button cmdFont;
    Button cmdColor;
    Button cmdPrint;
    HScrollBar HScroll1;
    VScrollBar VScroll1;
    CommonDialog CommonDialog1;
    PictureBox Picture1;
    PictureBox Picture2;
    ImageBox Image1;
    RichTextBox RichTextBox1;

    // --- State variables ---
    ClipKind clipKind = ClipKind::None;
    std::string bmpDataFolder;
    std::string dateCaption;

    // Names the clip: the caption box and the window caption both take the name.
    void setClipName(const std::string &name);
    // Makes the date-and-time name of a picture taken now, and the Save tooltip that goes with it.
    void makeDateCaption();

    // The control the program last moved the keyboard focus to; the view takes it once.
    Control *takeFocusRequest();
    void setFocus(Control &control) { m_focusRequest = &control; }

    // --- Main window and start-up ---
    void Form_Load();
    void Form_Click();
    void Form_KeyDown(KeyCode keyCode, ShiftState shift);
    void Form_KeyPress(int keyAscii);
    void Form_KeyUp(KeyCode keyCode, ShiftState shift);

    // --- Capture and view ---
    void ReloadFromClipboard();
    void LayoutPicture();
    void HScroll1_Change();
    void VScroll1_Change();
    void ToggleToolbar();
    void cmdReload_Click();
    void cmdMin_Click();
    void txtMin_Click();
    void Picture1_Click();
    void Picture1_MouseDown(MouseButton button);
    void Picture2_MouseDown(MouseButton button);
    void Image1_MouseDown(MouseButton button);
    void RichTextBox1_MouseDown(MouseButton button);

    // --- Caption and appearance ---
    void cmdCaption_Click();
    void txtCaption_GotFocus();
    void txtCaption_KeyPress(int keyAscii);
    void txtCaption_MouseDown(MouseButton button);
    void cmdFont_Click();
    void cmdFontP_Click();
    void cmdColor_Click();
    // Sets both records of the colour mode: the button's caption and the printer's mode.
    void setColourMode(bool colour);

    // --- Files and companions ---
    void cmdSave_Click();
    void SaveScreenImage();
    void cmdSaveAs_Click();
    void AppendTextData();
    void cmdOpen_Click();
    void cmdBmpData_Click();
    void cmdIdeas_Click();
    void cmdFolders_Click();
    void cmdTxtData_Click();

    // --- Printing ---
    void cmdPrint_Click();

    // The program's own file "<folder>/<base name><ending>".
    std::string programFile(const std::string &ending) const;
    // True when the last capture took text or a picture; otherwise says there is nothing to do
    // the action on.
    bool holdsAClip(const std::string &action);

private:
    // ReloadFromClipboard's work; it may run out of memory.
    void takeClipboard();

    Form1Services m_services;
    Control *m_focusRequest = nullptr;
};

// The program's own file "<folder>/<base name><ending>".
std::string programFileOf(const ProgramLocation &program, const std::string &ending);
// The folder of automatically named pictures beside the program.
std::string pictureFolderOf(const ProgramLocation &program);

} // namespace dovrante
