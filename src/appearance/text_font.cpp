#include "app/form1.h"

namespace dovrante {

void Form1::cmdFont_Click() {}

void Form1::cmdFontP_Click() {}

} // namespace dovrante
