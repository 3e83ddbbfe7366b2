#include "qt/qt_fonts.h"

#include "qt/qt_strings.h"

namespace dovrante {

QFont toQFont(const FontSpec &attributes)
{
    QFont font(toQt(attributes.name));
    if (attributes.size > 0)
        font.setPointSizeF(static_cast<double>(attributes.size));
    font.setBold(attributes.bold);
    font.setItalic(attributes.italic);
    font.setUnderline(attributes.underline);
    font.setStrikeOut(attributes.strikethrough);
    return font;
}

FontSpec toFontSpec(const QFont &font)
{
    return FontSpec{fromQt(font.family()), static_cast<float>(font.pointSizeF()),
                    font.bold(),           font.italic(),
                    font.underline(),      font.strikeOut()};
}

} // namespace dovrante
