#pragma once

namespace dovrante {

// The window's input as a Windows program receives it: virtual key codes, shift-state bits and
// mouse-button codes, whatever the desktop underneath.

// Virtual key codes; a key not named here keeps its own code, and 0 is a key of no use.
enum class KeyCode : int {
    None = 0,
    Backspace = 8,
    Tab = 9,
    Enter = 13,
    Escape = 27,
    Space = 32,
    Digit0 = '0',
    A = 'A',
    O = 'O',
    F1 = 112,
    F2 = 113,
    F5 = 116,
};

// Shift-state bits, combined.
enum class ShiftState : int {
    None = 0,
    Shift = 1,
    Ctrl = 2,
    Alt = 4,
};

constexpr ShiftState operator|(ShiftState a, ShiftState b)
{
    return static_cast<ShiftState>(static_cast<int>(a) | static_cast<int>(b));
}

enum class MouseButton : int {
    None = 0,
    Left = 1,
    Right = 2,
    Middle = 4,
};

// The characters a KeyPress handler reacts to (it receives any character's code).
constexpr int EnterCharacter = '\r';
constexpr int EscapeCharacter = '\x1b';

} // namespace dovrante
