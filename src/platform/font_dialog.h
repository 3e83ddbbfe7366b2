#pragma once

#include "platform/types.h"

#include <optional>

namespace dovrante {

// The system's font dialog.
class FontDialog {
public:
    virtual ~FontDialog() = default;
    FontDialog() = default;
    FontDialog(const FontDialog &) = delete;
    FontDialog &operator=(const FontDialog &) = delete;

    // Shows the dialog filled from `initial`; the chosen font, or nothing when cancelled.
    virtual std::optional<FontSpec> choose(const FontSpec &initial) = 0;
};

} // namespace dovrante
