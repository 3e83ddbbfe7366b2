#include "platform/qt/qt_dialogs.h"

namespace dovrante {

void QtStatusWindowHost::showAndPaint(const StatusWindowLook &) {}

} // namespace dovrante
