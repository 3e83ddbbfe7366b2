#pragma once

#include "platform/types.h"

#include <string>

namespace dovrante {

// What the print status window looks like; sizes in twips.
struct StatusWindowLook {
    std::string caption;
    Colour backColour = 0;
    float clientWidth = 0;
    float clientHeight = 0;
    float labelLeft = 0;
    float labelTop = 0;
    float labelWidth = 0;
    float labelHeight = 0;
    FontSpec labelFont;
    std::string labelCaption;
};

// Shows the print status window while the user-interface thread is about to block in print calls.
class StatusWindowHost {
public:
    virtual ~StatusWindowHost() = default;
    StatusWindowHost() = default;
    StatusWindowHost(const StatusWindowHost &) = delete;
    StatusWindowHost &operator=(const StatusWindowHost &) = delete;

    // Shows the window without an owner and paints it at once, before returning.
    virtual void showAndPaint(const StatusWindowLook &look) = 0;
    // Closes the window, as when a print fails and the program goes on.
    virtual void close() = 0;
};

} // namespace dovrante
