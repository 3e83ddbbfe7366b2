#include "qt/qt_fonts.h"

#include "qt/qt_strings.h"

#include <utility>

namespace dovrante {

namespace {

// A face named after its weight ("Arial Black") is asked for in that weight too, so that the
// desktop's stand-in for a face it lacks is as heavy as the face meant.
QFont::Weight weightOfFace(const QString &face)
{
    const std::pair<QLatin1String, QFont::Weight> named[] = {
        {QLatin1String(" Black"), QFont::Black},
        {QLatin1String(" Heavy"), QFont::Black},
    };
    for (const auto &[ending, weight] : named)
        if (face.endsWith(ending, Qt::CaseInsensitive))
            return weight;
    return QFont::Normal;
}

} // namespace

QFont toQFont(const FontSpec &attributes)
{
    QFont font(toQt(attributes.name));
    if (attributes.size > 0)
        font.setPointSizeF(static_cast<double>(attributes.size));
    font.setBold(attributes.bold);
    if (const QFont::Weight weight = weightOfFace(font.family()); weight > font.weight())
        font.setWeight(weight);
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
