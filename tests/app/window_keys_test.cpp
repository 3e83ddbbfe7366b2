#include "support/form_fixture.h"

#include <gtest/gtest.h>

namespace dovrante::test {
namespace {

using WindowKeysTest = FormFixture;

TEST_F(WindowKeysTest, EscapeWhateverTheModifiersAndTheEscapeCharacterAloneEndTheProgram)
{
    Form1 &f = started();
    for (int shift : {0, ShiftState::Shift, ShiftState::Ctrl, ShiftState::Alt, 7}) {
        programEnd.ends = 0;
        f.Form_KeyDown(KeyCode::Escape, shift);
        EXPECT_EQ(programEnd.ends, 1) << "shift " << shift;
    }
    // Ctrl+[ types the Escape character without an Escape key-down.
    programEnd.ends = 0;
    f.Form_KeyDown(219, ShiftState::Ctrl);
    EXPECT_EQ(programEnd.ends, 0);
    f.Form_KeyPress(27);
    EXPECT_EQ(programEnd.ends, 1);
}

TEST_F(WindowKeysTest, OtherKeysReleasesCharactersAndOWithoutCtrlAloneDoNothing)
{
    Form1 &f = started();
    const std::string caption = f.caption;
    for (int key : {KeyCode::Enter, 65, 112, 114, 117})
        f.Form_KeyDown(key, 0);
    // Ctrl+O opens only with Ctrl alone.
    for (int shift : {ShiftState::Ctrl | ShiftState::Shift, ShiftState::Ctrl | ShiftState::Alt, 0})
        f.Form_KeyDown(KeyCode::O, shift);
    f.Form_KeyUp(KeyCode::Escape, 0);
    f.Form_KeyPress('a');
    f.Form_KeyPress(13);
    EXPECT_EQ(programEnd.ends, 0);
    EXPECT_EQ(f.caption, caption);
    EXPECT_FALSE(f.txtCaption.visible);
    EXPECT_TRUE(messageBox.shown.empty());
    EXPECT_TRUE(fileDialog.requests.empty());
}

TEST_F(WindowKeysTest, AClickOnTheWindowShowsItsCaptionAsIs)
{
    Form1 &f = started();
    f.caption = "<img src=/etc/passwd>";
    f.Form_Click();
    ASSERT_EQ(messageBox.shown.size(), 1u);
    EXPECT_EQ(messageBox.shown[0].text, "<img src=/etc/passwd>");
    EXPECT_EQ(messageBox.shown[0].buttons, MessageBox::Buttons::Ok);
    EXPECT_FALSE(messageBox.shown[0].title.has_value());
    EXPECT_EQ(f.caption, "<img src=/etc/passwd>");
}

} // namespace
} // namespace dovrante::test
