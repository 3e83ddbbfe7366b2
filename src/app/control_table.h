#pragma once

#include "app/controls.h"
#include "platform/window_input.h"

#include <span>
#include <variant>

namespace dovrante {

class Form1;

// Where a control sits in the tool bar, which runs leftwards from the window's right edge.
enum class InBar {
    No,
    // Its right edge `gap` twips left of its right neighbour's left edge (for the first, of the
    // window's right edge).
    Next,
    // Over the control of the row before, in its place.
    Over,
};

// Whether a control folds away with the tool bar.
enum class Folds {
    No,
    Yes,
    // Only shown with the text view, and then with the tool bar.
    WithTextOnly,
};

// The control a row describes, as a member of the window.
using ControlMember =
    std::variant<Button Form1::*, TextBox Form1::*, HScrollBar Form1::*, VScrollBar Form1::*,
                 PictureBox Form1::*, ImageBox Form1::*, RichTextBox Form1::*>;

// One control of the window: everything the model, the start-up layout, the tool-bar toggle and
// the view need to know of it. A handler left null is an event the control ignores.
struct ControlRow {
    const char *name;
    ControlMember member;
    // A button's caption, a text box's text, as designed.
    const char *caption = "";
    const char *toolTip = "";
    // Twips; the tool bar keeps it.
    float width = 0;
    // Place in the focus order; -1 takes no focus.
    int tabIndex = -1;
    InBar inBar = InBar::No;
    float gap = 0;
    Folds folds = Folds::No;
    // A button's click; a picture box's or text box's press and release within it.
    void (Form1::*click)() = nullptr;
    // A scroll bar's new value, set by the person.
    void (Form1::*change)() = nullptr;
    void (Form1::*mouseDown)(MouseButton) = nullptr;
    void (Form1::*gotFocus)() = nullptr;
    // A character typed while the control has the focus.
    void (Form1::*keyPress)(int) = nullptr;
    // The row of the control it lies in; the window when null.
    const ControlRow *container = nullptr;
};

// The window's controls, back to front: the picture, its scroll bars and the text view, then the
// tool bar from left to right.
std::span<const ControlRow> controlTable();

Control &controlOf(Form1 &form, const ControlRow &row);
const Control &controlOf(const Form1 &form, const ControlRow &row);

} // namespace dovrante
