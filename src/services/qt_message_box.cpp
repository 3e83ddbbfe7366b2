#include "services/qt_message_box.h"

#include "qt/qt_strings.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QShortcut>

namespace dovrante {

namespace {

QMessageBox::Icon toQt(MessageBox::Icon icon)
{
    switch (icon) {
    case MessageBox::Icon::Question:
        return QMessageBox::Question;
    case MessageBox::Icon::Information:
        return QMessageBox::Information;
    case MessageBox::Icon::Warning:
        return QMessageBox::Warning;
    case MessageBox::Icon::Critical:
        return QMessageBox::Critical;
    case MessageBox::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

MessageBox::Answer QtMessageBox::show(const std::string &text, Buttons buttons, Icon icon,
                                      Answer defaultButton, const std::optional<std::string> &title)
{
    if (m_beforeModal)
        m_beforeModal();

    QMessageBox box(m_owner);
    // Captions and paths may look like markup; they are shown as the characters they are.
    box.setTextFormat(Qt::PlainText);
    box.setWindowTitle(title ? dovrante::toQt(*title) : QStringLiteral("Dovrante"));
    box.setText(dovrante::toQt(text));
    box.setIcon(toQt(icon));
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(defaultButton == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    // Ctrl+C copies the whole box as text, as the classic desktop's message boxes do, so that a
    // message can be pasted into a report.
    QShortcut copy(QKeySequence::Copy, &box);
    QObject::connect(&copy, &QShortcut::activated, &box, [&box] {
        const QString rule = QStringLiteral("---------------------------\n");
        QString captions;
        for (QAbstractButton *button : box.buttons())
            captions += button->text().remove(QLatin1Char('&')) + QStringLiteral("   ");
        QGuiApplication::clipboard()->setText(rule + box.windowTitle() + QLatin1Char('\n') + rule +
                                              box.text() + QLatin1Char('\n') + rule + captions +
                                              QLatin1Char('\n') + rule);
    });
    const int pressed = box.exec();
    if (buttons == Buttons::YesNo)
        return pressed == QMessageBox::Yes ? Answer::Yes : Answer::No;
    return Answer::Ok;
}

} // namespace dovrante
