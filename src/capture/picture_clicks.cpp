#include "app/form1.h"

namespace dovrante {

void Form1::Picture1_Click() {}

void Form1::Picture1_MouseDown(int /*button*/) {}

void Form1::Picture2_MouseDown(int /*button*/) {}

void Form1::Image1_MouseDown(int /*button*/) {}

} // namespace dovrante
