#include "app/form1.h"

namespace dovrante {

void Form1::LayoutPicture() {}

void Form1::HScroll1_Change() {}

void Form1::VScroll1_Change() {}

} // namespace dovrante
