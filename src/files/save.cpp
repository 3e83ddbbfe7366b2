#include "app/form1.h"

namespace dovrante {

void Form1::cmdSave_Click() {}

void Form1::SaveScreenImage() {}

void Form1::cmdSaveAs_Click() {}

} // namespace dovrante
