#pragma once

#include "platform/file_dialog.h"
#include "platform/font_dialog.h"

#include <functional>

namespace dovrante {

// Qt's own file dialog, the same on every desktop.
class QtFileDialog final : public FileDialog {
public:
    void setBeforeModal(std::function<void()> beforeModal) { m_beforeModal = std::move(beforeModal); }
    FileDialogResult show(const FileDialogRequest &request) override;

private:
    std::function<void()> m_beforeModal;
};

// Qt's own font dialog.
class QtFontDialog final : public FontDialog {
public:
    void setBeforeModal(std::function<void()> beforeModal) { m_beforeModal = std::move(beforeModal); }
    std::optional<FontSpec> choose(const FontSpec &initial) override;

private:
    std::function<void()> m_beforeModal;
};

} // namespace dovrante
