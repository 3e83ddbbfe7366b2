#pragma once

#include "platform/message_box.h"

#include <functional>

class QWidget;

namespace dovrante {

// Qt message boxes, plain text only, titled "Dovrante" unless told otherwise.
class QtMessageBox final : public MessageBox {
public:
    // Called before each box, so that the window shows the model's state while the box waits.
    // The boxes open over this window, centred on its monitor and kept above it.
    void setOwner(QWidget *owner) { m_owner = owner; }
    void setBeforeModal(std::function<void()> beforeModal)
    {
        m_beforeModal = std::move(beforeModal);
    }

    Answer show(const std::string &text, Buttons buttons, Icon icon, Answer defaultButton,
                const std::optional<std::string> &title) override;

private:
    std::function<void()> m_beforeModal;
    QWidget *m_owner = nullptr;
};

} // namespace dovrante
