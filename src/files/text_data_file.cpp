#include "app/form1.h"

namespace dovrante {

void Form1::AppendTextData() {}

} // namespace dovrante
