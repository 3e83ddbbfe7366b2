#include "app/form1.h"

namespace dovrante {

void Form1::Form_KeyDown(KeyCode keyCode, ShiftState shift)
{
    // Each test stands alone; an action that ends the program returns here and nothing follows.
    if (keyCode == KeyCode::O && shift == ShiftState::Ctrl)
        cmdOpen_Click();
    if (keyCode == KeyCode::F2)
        cmdCaption_Click();
    if (keyCode == KeyCode::F5)
        ReloadFromClipboard();
    if (keyCode == KeyCode::Escape)
        m_services.programEnd.endProgram();
}

void Form1::Form_KeyPress(int keyAscii)
{
    // Ctrl+[ types the Escape character on some layouts without an Escape key-down.
    if (keyAscii == EscapeCharacter)
        m_services.programEnd.endProgram();
}

void Form1::Form_KeyUp(KeyCode /*keyCode*/, ShiftState /*shift*/)
{}

void Form1::Form_Click()
{
    m_services.messageBox.show(caption);
}

} // namespace dovrante
