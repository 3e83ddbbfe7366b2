#include "app/form1.h"

namespace dovrante {

void Form1::cmdOpen_Click() {}

} // namespace dovrante
