#pragma once

namespace dovrante {

namespace PointerShape {
constexpr int Default = 0;
constexpr int Hourglass = 11;
} // namespace PointerShape

// The screen's mouse pointer.
class MousePointer {
public:
    virtual ~MousePointer() = default;
    MousePointer() = default;
    MousePointer(const MousePointer &) = delete;
    MousePointer &operator=(const MousePointer &) = delete;

    // Shows the pointer shape (0 default, 11 hourglass) over every window of the program.
    virtual void setPointer(int shape) = 0;
};

} // namespace dovrante
