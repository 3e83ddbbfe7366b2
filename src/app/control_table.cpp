#include "app/control_table.h"

#include "app/form1.h"

namespace dovrante {

namespace {

using F = Form1;

// clang-format off
const ControlRow Rows[] = {
    {.name = "Picture1", .member = &F::Picture1, .tabIndex = 0, .click = &F::Picture1_Click,
     .mouseDown = &F::Picture1_MouseDown},
    {.name = "Image1", .member = &F::Image1, .mouseDown = &F::Image1_MouseDown,
     .container = &Rows[0]},
    {.name = "Picture2", .member = &F::Picture2, .tabIndex = 1,
     .mouseDown = &F::Picture2_MouseDown, .container = &Rows[0]},
    {.name = "HScroll1", .member = &F::HScroll1, .tabIndex = 3, .change = &F::HScroll1_Change},
    {.name = "VScroll1", .member = &F::VScroll1, .tabIndex = 2, .change = &F::VScroll1_Change},
    {.name = "RichTextBox1", .member = &F::RichTextBox1, .caption = "RichTextBox1", .tabIndex = 4,
     .mouseDown = &F::RichTextBox1_MouseDown},
    {.name = "txtCaption", .member = &F::txtCaption, .caption = "txtCaption",
     .toolTip = "text for the Form Caption", .tabIndex = 12, .mouseDown = &F::txtCaption_MouseDown,
     .gotFocus = &F::txtCaption_GotFocus, .keyPress = &F::txtCaption_KeyPress},

    {.name = "cmdFont", .member = &F::cmdFont, .caption = "Font", .toolTip = "Set Font values",
     .width = 500, .tabIndex = 7, .inBar = InBar::Next, .gap = 100, .folds = Folds::WithTextOnly,
     .click = &F::cmdFont_Click},
    // The preset-font button keeps a wider gap to "O" than the others.
    {.name = "cmdFontP", .member = &F::cmdFontP, .caption = "P",
     .toolTip = "Set Font to 'Arial Black' and '36'", .width = 255, .tabIndex = 11,
     .inBar = InBar::Next, .gap = 345, .folds = Folds::WithTextOnly, .click = &F::cmdFontP_Click},
    {.name = "cmdOpen", .member = &F::cmdOpen, .caption = "O", .toolTip = "Open a .clp file",
     .width = 255, .tabIndex = 20, .inBar = InBar::Next, .gap = 100, .folds = Folds::Yes,
     .click = &F::cmdOpen_Click},
    {.name = "cmdPrint", .member = &F::cmdPrint, .caption = "Print",
     .toolTip = "Print the Screen Image", .width = 600, .tabIndex = 5, .inBar = InBar::Next,
     .gap = 100, .folds = Folds::Yes, .click = &F::cmdPrint_Click},
    {.name = "cmdColor", .member = &F::cmdColor, .caption = "Color",
     .toolTip = "Toggle between 'Color' and 'Black and White'", .width = 600, .tabIndex = 6,
     .inBar = InBar::Next, .gap = 100, .folds = Folds::Yes, .click = &F::cmdColor_Click},
    {.name = "cmdCaption", .member = &F::cmdCaption, .caption = "C",
     .toolTip = "F2 - Set the Form Caption", .width = 255, .tabIndex = 13, .inBar = InBar::Next,
     .gap = 100, .folds = Folds::Yes, .click = &F::cmdCaption_Click},
    {.name = "cmdReload", .member = &F::cmdReload, .caption = "Reload",
     .toolTip = "F5 - Reload from the Clipboard (Right_Click)", .width = 720, .tabIndex = 8,
     .inBar = InBar::Next, .gap = 100, .folds = Folds::Yes, .click = &F::cmdReload_Click},
    {.name = "cmdFolders", .member = &F::cmdFolders, .caption = "F",
     .toolTip = "Open a text file of Folder names", .width = 255, .tabIndex = 18,
     .inBar = InBar::Next, .gap = 0, .folds = Folds::Yes, .click = &F::cmdFolders_Click},
    {.name = "cmdSave", .member = &F::cmdSave, .caption = "S",
     .toolTip = "Save the Screen Image to a file", .width = 255, .tabIndex = 16,
     .inBar = InBar::Next, .gap = 0, .folds = Folds::Yes, .click = &F::cmdSave_Click},
    {.name = "cmdSaveAs", .member = &F::cmdSaveAs, .caption = "SaveAs",
     .toolTip = "Save the Screen Image to a file", .width = 855, .tabIndex = 10,
     .inBar = InBar::Next, .gap = 0, .folds = Folds::Yes, .click = &F::cmdSaveAs_Click},
    {.name = "cmdTxtData", .member = &F::cmdTxtData, .caption = "T",
     .toolTip = "Edit the Text Data File", .width = 255, .tabIndex = 14, .inBar = InBar::Next,
     .gap = 0, .folds = Folds::Yes, .click = &F::cmdTxtData_Click},
    // Start-up names the folder in the tooltip.
    {.name = "cmdBmpData", .member = &F::cmdBmpData, .caption = "B",
     .toolTip = "Open the BMP Data Folder ()", .width = 255, .tabIndex = 15, .inBar = InBar::Next,
     .gap = 100, .folds = Folds::Yes, .click = &F::cmdBmpData_Click},
    {.name = "cmdIdeas", .member = &F::cmdIdeas, .caption = "Ideas",
     .toolTip = "Edit the Ideas file", .width = 615, .tabIndex = 9, .inBar = InBar::Next,
     .gap = 100, .folds = Folds::Yes, .click = &F::cmdIdeas_Click},
    // The toggle button is never shown: the pink box over it takes its clicks.
    {.name = "cmdMin", .member = &F::cmdMin, .caption = "_",
     .toolTip = "Toggle the Toolbar on and off", .width = 255, .tabIndex = 17,
     .inBar = InBar::Next, .gap = 415, .click = &F::cmdMin_Click},
    {.name = "txtMin", .member = &F::txtMin, .caption = "txtMin",
     .toolTip = "Toggle the Toolbar on and off", .width = 255, .tabIndex = 19,
     .inBar = InBar::Over, .click = &F::txtMin_Click},
};
// clang-format on

} // namespace

std::span<const ControlRow> controlTable()
{
    return Rows;
}

Control &controlOf(Form1 &form, const ControlRow &row)
{
    return std::visit([&form](auto member) -> Control & { return form.*member; }, row.member);
}

const Control &controlOf(const Form1 &form, const ControlRow &row)
{
    return std::visit([&form](auto member) -> const Control & { return form.*member; }, row.member);
}

} // namespace dovrante
