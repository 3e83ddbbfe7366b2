#include "services/qt_font_dialog.h"

#include "qt/qt_fonts.h"
#include "qt/qt_strings.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>

namespace dovrante {

std::optional<FontSpec> QtFontDialog::choose(const FontSpec &initial)
{
    if (m_beforeModal)
        m_beforeModal();

    QFontDialog dialog(QApplication::activeWindow());
    dialog.setObjectName(QStringLiteral("FontDialog"));
    dialog.setWindowTitle(QStringLiteral("Font"));
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    // A face that is not installed ("Courier", "MS Sans Serif") is shown as the face the desktop
    // draws it with, rather than as whatever the list happens to select.
    QFont shown = toQFont(initial);
    const QString drawnWith = QFontInfo(shown).family();
    const bool standIn = !QFontDatabase::hasFamily(shown.family());
    if (standIn)
        shown.setFamily(drawnWith);
    dialog.setCurrentFont(shown);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QFont selected = dialog.selectedFont();
    FontSpec chosen = toFontSpec(selected);
    // Left on the stand-in, the face keeps its own name, so that confirming changes nothing.
    if (standIn && selected.family() == drawnWith)
        chosen.name = initial.name;
    return chosen;
}

} // namespace dovrante
