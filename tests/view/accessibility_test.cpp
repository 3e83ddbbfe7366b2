// What a screen reader is told about the tool bar, read through Qt's accessibility interfaces.

#include "support/form_fixture.h"
#include "view/main_window_view.h"

#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>

namespace dovrante::test {
namespace {

class AccessibilityTest : public FormFixture {
protected:
    AccessibilityTest()
    {
        started();
        view.sync();
    }

    QWidget *button(const QString &caption) const
    {
        for (QPushButton *candidate : view.findChildren<QPushButton *>()) {
            if (candidate->text() == caption)
                return candidate;
        }
        ADD_FAILURE() << "no button " << caption.toStdString();
        return nullptr;
    }

    QWidget *textBox(const char *name) const { return view.findChild<QLineEdit *>(name); }

    static std::string said(QWidget *widget, QAccessible::Text what)
    {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        return accessible ? accessible->text(what).toStdString() : std::string("(none)");
    }

    MainWindowView view{form(), 15.0f};
};

TEST_F(AccessibilityTest, OneLetterButtonsAndTheToggleAreNamedByWhatTheirTooltipsSay)
{
    const std::pair<QString, std::string> named[] = {
        {"O", "Open a .clp file"},
        {"F", "Open a text file of Folder names"},
        {"S", "Save the Screen Image to a file"},
        {"B", "Open the BMP Data Folder"},
        {"T", "Edit the Text Data File"},
        {"C", "F2 - Set the Form Caption"},
        {"P", "Set Font to 'Arial Black' and '36'"},
    };
    for (const auto &[caption, name] : named) {
        QWidget *widget = button(caption);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(said(widget, QAccessible::Name), name) << caption.toStdString();
        EXPECT_EQ(said(widget, QAccessible::Description), widget->toolTip().toStdString());
        EXPECT_EQ(static_cast<QPushButton *>(widget)->text(), caption) << "the caption stays";
    }
    // The path after the leading phrase is told as the description only.
    EXPECT_EQ(said(button("B"), QAccessible::Description),
              "Open the BMP Data Folder: " + form().bmpDataFolder);
    EXPECT_EQ(button("B")->toolTip().toStdString(), form().cmdBmpData.toolTip);
    EXPECT_EQ(said(button("T"), QAccessible::Description),
              "Edit the Text Data File: /opt/Tools/Dovrante Data.txt");

    QWidget *toggle = textBox("txtMin");
    ASSERT_NE(toggle, nullptr);
    EXPECT_EQ(said(toggle, QAccessible::Name), "Toggle the Toolbar on and off");
    EXPECT_EQ(said(toggle, QAccessible::Value), "-");
    EXPECT_EQ(toggle->toolTip().toStdString(), "Toggle the Toolbar on and off");
}

TEST_F(AccessibilityTest, WordCaptionsStayTheNamesAndEveryDescriptionFollowsItsTooltip)
{
    EXPECT_EQ(said(button("Reload"), QAccessible::Name), "Reload");
    EXPECT_EQ(said(button("Reload"), QAccessible::Description),
              "F5 - Reload from the Clipboard (Right_Click)");
    EXPECT_EQ(said(button("Ideas"), QAccessible::Name), "Ideas");

    // A picture capture names the clip in Save's tooltip; the description follows it.
    clipboard.holdPicture(makePicture(2000, 1000));
    form().cmdReload_Click();
    view.sync();
    ASSERT_NE(form().cmdSave.toolTip.find(form().dateCaption), std::string::npos);
    EXPECT_EQ(said(button("S"), QAccessible::Description), form().cmdSave.toolTip);
    EXPECT_EQ(said(button("S"), QAccessible::Name), "Save the Screen Image to a file");
}

} // namespace
} // namespace dovrante::test
