#include "qt/qt_key_codes.h"

namespace dovrante {

namespace {

KeyCode offset(KeyCode first, int by)
{
    return static_cast<KeyCode>(static_cast<int>(first) + by);
}

} // namespace

KeyCode virtualKeyCode(const QKeyEvent &event)
{
    const int key = event.key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return offset(KeyCode::A, key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return offset(KeyCode::Digit0, key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return offset(KeyCode::F1, key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Escape:
        return KeyCode::Escape;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return KeyCode::Enter;
    case Qt::Key_Space:
        return KeyCode::Space;
    case Qt::Key_Tab:
        return KeyCode::Tab;
    case Qt::Key_Backspace:
        return KeyCode::Backspace;
    default:
        return KeyCode::None;
    }
}

ShiftState shiftState(Qt::KeyboardModifiers modifiers)
{
    ShiftState state = ShiftState::None;
    if (modifiers & Qt::ShiftModifier)
        state = state | ShiftState::Shift;
    if (modifiers & Qt::ControlModifier)
        state = state | ShiftState::Ctrl;
    if (modifiers & Qt::AltModifier)
        state = state | ShiftState::Alt;
    return state;
}

MouseButton mouseButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return MouseButton::Left;
    case Qt::RightButton:
        return MouseButton::Right;
    case Qt::MiddleButton:
        return MouseButton::Middle;
    default:
        return MouseButton::None;
    }
}

int typedCharacter(const QKeyEvent &event)
{
    const QString text = event.text();
    if (text.size() != 1)
        return -1;
    return text.at(0).unicode();
}

} // namespace dovrante
