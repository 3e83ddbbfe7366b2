#pragma once

#include <QKeyEvent>

namespace dovrante {

// The virtual key code a Windows program would see for this key; 0 for keys it has no use for.
int virtualKeyCode(const QKeyEvent &event);

// Shift-state bits (1 Shift, 2 Ctrl, 4 Alt) of the event's modifiers.
int shiftState(Qt::KeyboardModifiers modifiers);

// The character the key types as a code, or -1 when it types none.
int typedCharacter(const QKeyEvent &event);

} // namespace dovrante
