#pragma once

#include "platform/types.h"

#include <QFont>

namespace dovrante {

// The six font attributes as a QFont, and back.
QFont toQFont(const FontSpec &attributes);
FontSpec toFontSpec(const QFont &font);

} // namespace dovrante
