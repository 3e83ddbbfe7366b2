// Captions and paths can look like markup; the window shows them as the characters they are.

#include "support/form_fixture.h"
#include "view/main_window_view.h"

#include <QPushButton>
#include <QTextDocument>

namespace dovrante::test {
namespace {

// What Qt shows for a tooltip: rich text rendered when it looks like markup, else the text itself.
std::string shownToolTip(const QWidget &widget)
{
    const QString tip = widget.toolTip();
    if (!Qt::mightBeRichText(tip))
        return tip.toStdString();
    QTextDocument document;
    document.setHtml(tip);
    return document.toPlainText().toStdString();
}

using PlainTextTest = FormFixture;

TEST_F(PlainTextTest, ATooltipThatLooksLikeMarkupIsShownAsItsCharacters)
{
    program.folder = "/home/<img src=/etc/passwd>";
    started();
    MainWindowView view(form(), 15.0f);
    view.sync();

    int checked = 0;
    for (const QPushButton *button : view.findChildren<QPushButton *>()) {
        if (button->text() == "T" || button->text() == "B") {
            EXPECT_EQ(shownToolTip(*button), button->text() == "T" ? form().cmdTxtData.toolTip
                                                                   : form().cmdBmpData.toolTip);
            ++checked;
        }
    }
    EXPECT_EQ(checked, 2);
    EXPECT_EQ(view.windowTitle().toStdString(), form().caption);
}

} // namespace
} // namespace dovrante::test
