#pragma once

#include <optional>
#include <string>
#include <variant>

namespace dovrante {

// A failure as the user is told about it: the platform's own description of what went wrong.
struct Failure {
    std::string description;
};

// Either a value or the description of why there is none.
template <typename T>
class Result {
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Failure failure) : m_value(std::move(failure)) {}

    bool ok() const { return std::holds_alternative<T>(m_value); }
    const T &value() const { return std::get<T>(m_value); }
    T &value() { return std::get<T>(m_value); }
    const std::string &error() const { return std::get<Failure>(m_value).description; }

private:
    std::variant<T, Failure> m_value;
};

// No news is good news: an empty optional means the operation succeeded.
using MaybeFailure = std::optional<Failure>;

// Colours are 0xBBGGRR, blue in the high byte, as the window's design values are written.
using Colour = unsigned int;

constexpr int colourRed(Colour c)
{
    return static_cast<int>(c & 0xFFu);
}
constexpr int colourGreen(Colour c)
{
    return static_cast<int>((c >> 8) & 0xFFu);
}
constexpr int colourBlue(Colour c)
{
    return static_cast<int>((c >> 16) & 0xFFu);
}

// The six font attributes that travel together between the text view, the font dialog and the
// printer. The size is a 4-byte float because that is how it passes through the dialog.
struct FontSpec {
    std::string name;
    float size = 0.0f;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;

    bool operator==(const FontSpec &) const = default;
};

} // namespace dovrante
