#include "app/form1.h"

namespace dovrante {

void Form1::cmdPrint_Click() {}

} // namespace dovrante
