#pragma once

#include <optional>
#include <string>

namespace dovrante {

// Modal message boxes, always plain text.
class MessageBox {
public:
    enum class Buttons { Ok, YesNo };
    enum class Icon { None, Question, Information, Warning, Critical };
    enum class Answer { Ok, Yes, No };

    virtual ~MessageBox() = default;
    MessageBox() = default;
    MessageBox(const MessageBox &) = delete;
    MessageBox &operator=(const MessageBox &) = delete;

    // Shows the box and waits; a box without a title of its own is titled with the program's name.
    virtual Answer show(const std::string &text, Buttons buttons = Buttons::Ok,
                        Icon icon = Icon::None, Answer defaultButton = Answer::Ok,
                        const std::optional<std::string> &title = std::nullopt) = 0;
};

} // namespace dovrante
