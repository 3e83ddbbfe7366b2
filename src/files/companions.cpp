#include "app/form1.h"

namespace dovrante {

void Form1::cmdBmpData_Click() {}

void Form1::cmdIdeas_Click() {}

void Form1::cmdFolders_Click() {}

void Form1::cmdTxtData_Click() {}

} // namespace dovrante
