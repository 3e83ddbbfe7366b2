#include "app/form1.h"

namespace dovrante {

void Form1::ReloadFromClipboard() {}

void Form1::cmdReload_Click() {}

void Form1::RichTextBox1_MouseDown(int /*button*/) {}

} // namespace dovrante
