#include "app/form1.h"

#include "app/control_table.h"

namespace dovrante {

namespace {

// A control's design values from its row; a button shows its caption, a text box its text.
template <typename C>
void design(C &control, const ControlRow &row)
{
    control.toolTip = row.toolTip;
    control.width = row.width;
    control.tabIndex = row.tabIndex;
    if constexpr (requires { control.caption; })
        control.caption = row.caption;
    else if constexpr (requires { control.text; })
        control.text = row.caption;
}

} // namespace

Form1::Form1(Form1Services services) : m_services(std::move(services))
{
    for (const ControlRow &row : controlTable())
        std::visit([this, &row](auto member) { design(this->*member, row); }, row.member);
    RichTextBox1.backColour = WindowBackground;
    Picture1.backColour = WindowBackground;
    HScroll1.max = 100;
    HScroll1.largeChange = 10;
    CommonDialog1.visible = false;
}

Control *Form1::takeFocusRequest()
{
    Control *request = m_focusRequest;
    m_focusRequest = nullptr;
    return request;
}

std::string programFileOf(const ProgramLocation &program, const std::string &ending)
{
    return program.programFolder() + "/" + program.baseName() + ending;
}

std::string Form1::programFile(const std::string &ending) const
{
    return programFileOf(m_services.program, ending);
}

bool Form1::holdsAClip(const std::string &action)
{
    if (clipKind == ClipKind::Text || clipKind == ClipKind::Picture)
        return true;
    // The view may still show an earlier clip, but the text view's design text or a clip the
    // last capture replaced is not what the person has in mind.
    m_services.messageBox.show("The last capture found neither text nor a picture: there is "
                               "nothing to " +
                               action + ".");
    return false;
}

} // namespace dovrante
