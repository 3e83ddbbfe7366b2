#include "app/form1.h"

namespace dovrante {

void Form1::cmdCaption_Click() {}

void Form1::txtCaption_GotFocus() {}

void Form1::txtCaption_KeyPress(int /*keyAscii*/) {}

void Form1::txtCaption_MouseDown(int /*button*/) {}

} // namespace dovrante
