#include "app/form1.h"

namespace dovrante {

void Form1::cmdColor_Click() {}

void Form1::setColourMode(bool /*colour*/) {}

} // namespace dovrante
