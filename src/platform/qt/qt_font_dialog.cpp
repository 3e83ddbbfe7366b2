#include "platform/qt/qt_font_dialog.h"

#include "platform/qt/qt_strings.h"

#include <QApplication>
#include <QFontDialog>

namespace dovrante {

QFont toQFont(const FontSpec &spec)
{
    QFont font(toQt(spec.name));
    if (spec.size > 0)
        font.setPointSizeF(static_cast<double>(spec.size));
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikethrough);
    return font;
}

FontSpec toFontSpec(const QFont &font)
{
    return FontSpec{fromQt(font.family()), static_cast<float>(font.pointSizeF()),
                    font.bold(),           font.italic(),
                    font.underline(),      font.strikeOut()};
}

std::optional<FontSpec> QtFontDialog::choose(const FontSpec &initial)
{
    if (m_beforeModal)
        m_beforeModal();

    QFontDialog dialog(QApplication::activeWindow());
    dialog.setObjectName(QStringLiteral("FontDialog"));
    dialog.setWindowTitle(QStringLiteral("Font"));
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    dialog.setCurrentFont(toQFont(initial));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return toFontSpec(dialog.selectedFont());
}

} // namespace dovrante
