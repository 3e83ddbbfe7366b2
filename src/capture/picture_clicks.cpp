#include "app/form1.h"
#include "capture/sizes_report.h"

namespace dovrante {

void Form1::Picture1_Click()
{
    m_services.messageBox.show(generalNumber(Picture1.width));
}

void Form1::Picture1_MouseDown(MouseButton button)
{
    if (button == MouseButton::Right)
        ReloadFromClipboard();
}

void Form1::Picture2_MouseDown(MouseButton button)
{
    if (button == MouseButton::Right) {
        ReloadFromClipboard();
        return;
    }
    Picture1.toolTip = "Picture1";
    Picture2.toolTip = "Picture2";
    Image1.toolTip = "Image1";
    m_services.messageBox.show(picturesSizesReport(Picture1, Picture2, Image1),
                               MessageBox::Buttons::Ok, MessageBox::Icon::None,
                               MessageBox::Answer::Ok, std::string("Test: Picture Sizes"));
}

void Form1::Image1_MouseDown(MouseButton button)
{
    if (button == MouseButton::Right)
        ReloadFromClipboard();
}

} // namespace dovrante
