#pragma once

#include "platform/window_input.h"

#include <QKeyEvent>

namespace dovrante {

// The virtual key code a Windows program would see for this key; KeyCode::None for keys it has
// no use for.
KeyCode virtualKeyCode(const QKeyEvent &event);

// The shift-state bits of the event's modifiers.
ShiftState shiftState(Qt::KeyboardModifiers modifiers);

// The button code of a Qt mouse button; MouseButton::None for the others.
MouseButton mouseButton(Qt::MouseButton button);

// The character the key types as a code, or -1 when it types none.
int typedCharacter(const QKeyEvent &event);

} // namespace dovrante
