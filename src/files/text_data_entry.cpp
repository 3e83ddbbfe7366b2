#include "files/text_data_entry.h"

namespace dovrante {

std::string textDataEntry(const std::string &dateTimeLine, const std::string &text)
{
    static const std::string separator = "\r\n--- --- --- --- --- ---\r\n";
    static const std::string rule = "\r\n" + std::string(79, '-') + "\r\n";
    // Built in place: the text may be megabytes long.
    std::string entry;
    entry.reserve(dateTimeLine.size() + separator.size() + text.size() + rule.size());
    entry.append(dateTimeLine).append(separator).append(text).append(rule);
    return entry;
}

} // namespace dovrante
