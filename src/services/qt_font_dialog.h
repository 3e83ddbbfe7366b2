#pragma once

#include "platform/font_dialog.h"

#include <functional>

namespace dovrante {

// Qt's own font dialog, with underline and strikeout; its object name is "FontDialog".
class QtFontDialog final : public FontDialog {
public:
    // Called before each dialog, so that the window shows the model's state while it waits.
    void setBeforeModal(std::function<void()> beforeModal)
    {
        m_beforeModal = std::move(beforeModal);
    }
    std::optional<FontSpec> choose(const FontSpec &initial) override;

private:
    std::function<void()> m_beforeModal;
};

} // namespace dovrante
