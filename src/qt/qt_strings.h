#pragma once

#include <QString>

#include <string>

namespace dovrante {

// The logic speaks UTF-8 std::string; Qt speaks QString.
inline QString toQt(const std::string &text)
{
    return QString::fromStdString(text);
}

inline std::string fromQt(const QString &text)
{
    return text.toStdString();
}

} // namespace dovrante
