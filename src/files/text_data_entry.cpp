#include "files/text_data_entry.h"

namespace dovrante {

std::string textDataEntry(const std::string &dateTimeLine, const std::string &text)
{
    return dateTimeLine + "\r\n" + "--- --- --- --- --- ---\r\n" + text + "\r\n" +
           std::string(79, '-') + "\r\n";
}

} // namespace dovrante
