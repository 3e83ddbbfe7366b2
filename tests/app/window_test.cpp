#include "app/control_table.h"
#include "support/form_fixture.h"

#include <set>

namespace dovrante::test {
namespace {

TEST(StartupLayoutTest, TheViewportAndItsBarsFollowTheScreenAndTheTextViewDoesNot)
{
    // 1024 x 768 and 1920 x 1080 pixels at 96 DPI; the tool bar's places on the test display are
    // the end-to-end tests' to check, where a person sees them.
    for (const auto &[w, h] : {std::pair{15360.0f, 11520.0f}, {28800.0f, 16200.0f}}) {
        const StartupLayout l = computeStartupLayout(w, h);
        EXPECT_EQ((std::vector{l.Picture1, l.Picture2, l.Image1, l.HScroll1, l.VScroll1}),
                  (std::vector<Place>{{0, 0, w - 355, h - 755},
                                      {0, 0, w - 355, h - 755},
                                      {0, 0, w - 355, h - 755},
                                      {0, h - 755, w - 355, 255},
                                      {w - 355, 0, 255, h - 755}}));
        EXPECT_EQ(l.RichTextBox1, (Place{0, 0, 19100, 14855}));
        // The tool bar keeps to the top right corner on every screen: the pink box, last in the
        // bar, lies 415 twips from the right edge.
        EXPECT_EQ(l.toolbar.back(), (Place{w - 670, 85, 255, 300}));
    }
}

// What a new row could get wrong without any other test noticing: a name or a place in the focus
// order taken twice, a button that does nothing, a control made before the one it lies in.
TEST(ControlTableTest, EveryRowIsWholeAndNoTwoShareANameOrAFocusPlace)
{
    std::set<std::string> names;
    std::set<int> focusPlaces;
    const std::span<const ControlRow> rows = controlTable();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ControlRow &row = rows[i];
        EXPECT_TRUE(names.insert(row.name).second) << row.name;
        if (row.tabIndex >= 0) {
            EXPECT_TRUE(focusPlaces.insert(row.tabIndex).second) << row.name;
        }
        if (std::holds_alternative<Button Form1::*>(row.member)) {
            EXPECT_NE(row.click, nullptr) << row.name;
        }
        if (row.inBar != InBar::No) {
            EXPECT_GT(row.width, 0) << row.name;
        }
        if (row.inBar == InBar::Over) {
            EXPECT_TRUE(i > 0 && rows[i - 1].inBar == InBar::Next) << row.name;
        }
        if (row.container) {
            EXPECT_LT(row.container, &row) << row.name;
        }
    }
}

using StartupTest = FormFixture;

TEST_F(StartupTest, AnEmptyClipboardShowsTheToolbarAloneAndTouchesNothing)
{
    Form1 &f = started();
    expectToolbar(f, true);
    expectShows(f, Shows::Nothing);
    EXPECT_EQ(std::tuple(f.keyPreview, f.Image1.visible, f.cmdMin.visible, f.txtMin.visible,
                         f.txtCaption.visible),
              std::tuple(true, true, false, true, false));
    // The unchanged caption is copied into the caption box.
    EXPECT_EQ(naming(f), (Lines{"99", Form1::DesignCaption, "Clipboard Print with Options", ""}));
    EXPECT_EQ((Lines{f.cmdMin.caption, f.txtMin.text}), (Lines{"_", "-"}));
    EXPECT_TRUE(files.empty());
    EXPECT_EQ(journal, Lines{});
}

TEST_F(StartupTest, TheProgramsFilesAreNamedAfterItsFolderAndItsName)
{
    // The data file beside the program; a folder cannot share the executable's own name, so then
    // the pictures go beside it too.
    const struct {
        const char *folder, *base, *executable, *bmpData;
    } cases[] = {
        {"/home/me/My Tools", "Dovrante", "Dovrante.exe", "/home/me/My Tools/Dovrante/BMP Data"},
        {"/opt/Tools", "Dovrante", "Dovrante", "/opt/Tools/Dovrante BMP Data"},
        {"/opt/Tools", "Clipper", "Clipper.bin", "/opt/Tools/Clipper/BMP Data"},
    };
    for (const auto &c : cases) {
        folder = c.folder;
        base = c.base;
        executable = c.executable;
        Form1 &f = started();
        EXPECT_EQ((Lines{f.bmpDataFolder, f.cmdBmpData.toolTip, f.cmdTxtData.toolTip}),
                  (Lines{c.bmpData, std::string("Open the BMP Data Folder: ") + c.bmpData,
                         "Edit the Text Data File: " + folder + "/" + base + " Data.txt"}));
    }
}

using WindowKeysTest = FormFixture;

TEST_F(WindowKeysTest, OtherKeysDoNothingAClickShowsTheCaptionAsIsAndEscapeEndsTheProgram)
{
    Form1 &f = started();
    for (KeyCode key : {KeyCode::Enter, KeyCode::A, KeyCode::F1, KeyCode{114}, KeyCode{117}})
        f.Form_KeyDown(key, ShiftState::None);
    // Ctrl+O opens only with Ctrl alone.
    for (ShiftState shift : {ShiftState::Ctrl | ShiftState::Shift,
                             ShiftState::Ctrl | ShiftState::Alt, ShiftState::None})
        f.Form_KeyDown(KeyCode::O, shift);
    f.Form_KeyUp(KeyCode::Escape, ShiftState::None);
    f.Form_KeyPress('a');
    f.Form_KeyPress(EnterCharacter);
    EXPECT_EQ(f.caption, Form1::DesignCaption);
    EXPECT_FALSE(f.txtCaption.visible);
    EXPECT_EQ(journal, Lines{});

    f.caption = "<img src=/etc/passwd>";
    f.Form_Click();
    // Escape ends the program whatever the modifiers.
    for (ShiftState shift : {ShiftState::None, ShiftState::Shift, ShiftState::Ctrl, ShiftState::Alt,
                             ShiftState::Shift | ShiftState::Ctrl | ShiftState::Alt})
        f.Form_KeyDown(KeyCode::Escape, shift);
    EXPECT_EQ(journal, (Lines{"box <img src=/etc/passwd>", "end", "end", "end", "end", "end"}));
}

} // namespace
} // namespace dovrante::test
