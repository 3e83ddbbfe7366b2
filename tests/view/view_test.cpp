// The widgets on Qt's offscreen platform: what a screen reader is told, and that captions and paths
// that look like markup are shown as the characters they are.

#include "qt/qt_fonts.h"
#include "support/form_fixture.h"
#include "view/main_window_view.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

namespace dovrante::test {
namespace {

class ViewTest : public FormFixture {
protected:
    // The window started and shown, its folder named like markup.
    ViewTest()
    {
        folder = "/home/<img src=/etc/passwd>";
        started();
        view.sync();
    }

    QWidget *button(const QString &caption) const
    {
        for (QPushButton *candidate : view.findChildren<QPushButton *>())
            if (candidate->text() == caption)
                return candidate;
        ADD_FAILURE() << "no button " << caption.toStdString();
        return nullptr;
    }

    static std::string said(QWidget *widget, QAccessible::Text what)
    {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        return accessible ? accessible->text(what).toStdString() : std::string("(none)");
    }

    // What Qt shows for a tooltip: rich text rendered when it looks like markup, else the text.
    static std::string shownToolTip(const QWidget *widget)
    {
        QTextDocument document;
        document.setHtml(widget->toolTip());
        return Qt::mightBeRichText(widget->toolTip()) ? document.toPlainText().toStdString()
                                                      : widget->toolTip().toStdString();
    }

    MainWindowView view{form(), 15.0f};
};

TEST_F(ViewTest, OneLetterButtonsAndTheToggleAreNamedByWhatTheirTooltipsSay)
{
    // A one-letter caption is no name; a word caption is.
    const std::pair<QString, std::string> named[] = {
        {"O", "Open a .clp file"},
        {"Reload", "Reload"},
    };
    for (const auto &[caption, name] : named) {
        QWidget *widget = button(caption);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(said(widget, QAccessible::Name), name) << caption.toStdString();
        EXPECT_EQ(said(widget, QAccessible::Description), shownToolTip(widget));
    }
    // The path after the leading phrase is told as the description only, and shown as it is.
    EXPECT_EQ(said(button("T"), QAccessible::Name), "Edit the Text Data File");
    EXPECT_EQ(said(button("T"), QAccessible::Description),
              "Edit the Text Data File: /home/<img src=/etc/passwd>/Dovrante Data.txt");
    EXPECT_EQ(shownToolTip(button("B")), form().cmdBmpData.toolTip);
    EXPECT_EQ(said(button("Reload"), QAccessible::Description),
              "F5 - Reload from the Clipboard (Right_Click)");

    QWidget *toggle = view.findChild<QLineEdit *>("txtMin");
    ASSERT_NE(toggle, nullptr);
    EXPECT_EQ(said(toggle, QAccessible::Name), "Toggle the Toolbar on and off");
    EXPECT_EQ(said(toggle, QAccessible::Value), "-");
    EXPECT_EQ(toggle->toolTip().toStdString(), "Toggle the Toolbar on and off");
}

TEST_F(ViewTest, DescriptionsAndTitleFollowTheModelAfterACapture)
{
    // A picture capture names the clip in Save's tooltip and the title.
    holdPicture(makePicture(2000, 1000));
    form().cmdReload_Click();
    form().caption = "<b>x</b>";
    view.sync();
    ASSERT_NE(form().cmdSave.toolTip.find(form().dateCaption), std::string::npos);
    EXPECT_EQ(said(button("S"), QAccessible::Description), form().cmdSave.toolTip);
    EXPECT_EQ(said(button("S"), QAccessible::Name), "Save the Screen Image to a file");
    EXPECT_EQ(view.windowTitle().toStdString(), "<b>x</b>");
}

TEST_F(ViewTest, TheTextViewTakesTheTextAndItsFontOnlyOnceTheCaptureHasDecided)
{
    const auto *textView = view.findChild<QPlainTextEdit *>("RichTextBox1");
    ASSERT_NE(textView, nullptr);
    holdText("first line\nsecond line");
    form().cmdReload_Click();
    // At start-up the widgets are synced while the clip is still on its way.
    view.sync(MainWindowView::TextView::Later);
    EXPECT_NE(textView->toPlainText(), "first line\nsecond line");
    view.sync();
    EXPECT_EQ(textView->toPlainText(), "first line\nsecond line");
    EXPECT_EQ(textView->font(), toQFont(form().RichTextBox1.font));
}

TEST(FontTest, AFaceNamedAfterItsWeightIsAskedForInThatWeight)
{
    const std::pair<FontSpec, QFont::Weight> faces[] = {
        {{"Arial Black", 36.0f, false, false, false, false}, QFont::Black},
        {{"Arial Black", 36.0f, true, false, false, false}, QFont::Black},
        {{"Courier", 10.0f, false, false, false, false}, QFont::Normal},
        {{"MS Sans Serif", 8.25f, true, false, false, false}, QFont::Bold},
    };
    for (const auto &[face, weight] : faces)
        EXPECT_EQ(toQFont(face).weight(), weight) << face.name << face.bold;
}

} // namespace
} // namespace dovrante::test

// The widget tests need a QApplication but no display: all tests run on Qt's offscreen platform.
int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
