#include "platform/qt/qt_dialogs.h"

namespace dovrante {

FileDialogResult QtFileDialog::show(const FileDialogRequest &)
{
    if (m_beforeModal)
        m_beforeModal();
    return FileDialogResult{FileDialogResult::Outcome::Cancelled, {}, {}, {}};
}

std::optional<FontSpec> QtFontDialog::choose(const FontSpec &)
{
    if (m_beforeModal)
        m_beforeModal();
    return std::nullopt;
}

} // namespace dovrante
