#include "services/font_warm_up.h"

#include <fontconfig/fontconfig.h>

namespace dovrante {

std::jthread warmUpFontConfiguration()
{
    // Fontconfig keeps the configuration it loads for the process: Qt's own FcInit() finds it.
    return std::jthread([] { FcInit(); });
}

} // namespace dovrante
