#include "app/form1.h"

namespace dovrante {

void Form1::ToggleToolbar() {}

void Form1::cmdMin_Click() {}

void Form1::txtMin_Click() {}

} // namespace dovrante
