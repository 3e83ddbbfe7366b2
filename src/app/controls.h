#pragma once

#include "platform/picture.h"
#include "platform/types.h"

#include <cstdint>
#include <optional>
#include <string>

namespace dovrante {

// The window's controls as plain data. Places and sizes are twips, single precision, relative to
// the control's container; the view turns them into pixels.
struct Control {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    bool visible = true;
    std::string toolTip;
    // Order of the focus among the window's controls; -1 takes no focus.
    int tabIndex = -1;
    // Unset: the desktop's own colour for the kind of control.
    std::optional<Colour> backColour;
};

// The classic font of the window's buttons and boxes.
inline FontSpec sansSerif(bool bold)
{
    return FontSpec{"MS Sans Serif", 8.25f, bold, false, false, false};
}

struct Button : Control {
    std::string caption;
    FontSpec font = sansSerif(false);
};

struct TextBox : Control {
    std::string text;
    // The text boxes show the window's bold font.
    FontSpec font = sansSerif(true);
    int selStart = 0;
    int selLength = 0;
};

struct ScrollBar : Control {
    // The bar's own values are 16-bit; the maximum may lie below the minimum.
    std::int16_t min = 0;
    std::int16_t max = 32767;
    std::int16_t smallChange = 1;
    std::int16_t largeChange = 1;
    std::int16_t value = 0;
    // Twips per scroll unit: 1, or more for a picture too large for the bar's 16-bit values.
    int unit = 1;
};

struct HScrollBar : ScrollBar {};
struct VScrollBar : ScrollBar {};

struct PictureBox : Control {
    PicturePtr picture;
};

struct ImageBox : Control {
    PicturePtr picture;
    bool stretch = false;
};

struct RichTextBox : Control {
    // Plain text with CR LF line breaks.
    std::string text;
    FontSpec font;
};

// Holds the settings of the system dialogs; never shown itself.
struct CommonDialog : Control {};

} // namespace dovrante
