#include "app/form1.h"

namespace dovrante {

void Form1::ToggleToolbar()
{
    cmdFont.visible = false;
    cmdFontP.visible = false;
    // The print button's visibility is the tool bar's state.
    if (cmdPrint.visible) {
        cmdPrint.visible = false;
        cmdMin.caption = "+";
    } else {
        cmdPrint.visible = true;
        cmdMin.caption = "_";
    }
    for (Button *button : {&cmdColor, &cmdCaption, &cmdReload, &cmdFolders, &cmdSave, &cmdSaveAs,
                           &cmdTxtData, &cmdBmpData, &cmdIdeas, &cmdOpen})
        button->visible = cmdPrint.visible;
    // The font buttons belong to the text view only.
    if (clipKind == ClipKind::Text) {
        cmdFont.visible = cmdPrint.visible;
        cmdFontP.visible = cmdPrint.visible;
    }
}

void Form1::cmdMin_Click()
{
    ToggleToolbar();
}

void Form1::txtMin_Click()
{
    cmdMin_Click();
    txtMin.text = cmdMin.caption;
}

} // namespace dovrante
