#include "platform/qt/qt_fonts.h"

#include "platform/qt/qt_strings.h"

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

} // namespace dovrante
