#pragma once

namespace dovrante {

// The screen the window fills, measured in twips (1/1440 inch).
class Screen {
public:
    virtual ~Screen() = default;
    Screen() = default;
    Screen(const Screen &) = delete;
    Screen &operator=(const Screen &) = delete;

    // Width of the whole screen in twips.
    virtual float widthTwips() const = 0;
    // Height of the whole screen in twips.
    virtual float heightTwips() const = 0;
    // Twips in one logical pixel (15 at 96 DPI); only the view converts with it.
    virtual float twipsPerPixel() const = 0;
};

} // namespace dovrante
