#include "support/form_fixture.h"

namespace dovrante::test {
namespace {

TEST(StartupLayoutTest, PlacesTheToolbarFromTheRightAndTheViewportToFillTheScreen)
{
    // Each button's distance from the screen's right edge and its width; all lie at 85, 300 high.
    // The preset-font button keeps a wider gap of 345 twips to "O".
    using L = StartupLayout;
    const std::tuple<Place L::*, float, float> buttons[] = {
        {&L::cmdMin, 670, 255},      {&L::txtMin, 670, 255},      {&L::cmdIdeas, 1385, 615},
        {&L::cmdBmpData, 1740, 255}, {&L::cmdTxtData, 1995, 255}, {&L::cmdSaveAs, 2850, 855},
        {&L::cmdSave, 3105, 255},    {&L::cmdFolders, 3360, 255}, {&L::cmdReload, 4180, 720},
        {&L::cmdCaption, 4535, 255}, {&L::cmdColor, 5235, 600},   {&L::cmdPrint, 5935, 600},
        {&L::cmdOpen, 6290, 255},    {&L::cmdFontP, 6890, 255},   {&L::cmdFont, 7490, 500}};
    // 1024 x 768 and 1920 x 1080 pixels at 96 DPI.
    for (const auto &[w, h] : {std::pair{15360.0f, 11520.0f}, {28800.0f, 16200.0f}}) {
        const StartupLayout l = computeStartupLayout(w, h);
        for (const auto &[place, fromRight, width] : buttons)
            EXPECT_EQ(l.*place, (Place{w - fromRight, 85, width, 300})) << fromRight << " at " << w;
        EXPECT_EQ(l.Picture1, (Place{0, 0, w - 355, h - 755}));
        EXPECT_EQ(l.Picture2, l.Picture1);
        EXPECT_EQ(l.Image1, l.Picture1);
        EXPECT_EQ(l.HScroll1, (Place{0, h - 755, w - 355, 255}));
        EXPECT_EQ(l.VScroll1, (Place{w - 355, 0, 255, h - 755}));
        // The text view does not follow the screen.
        EXPECT_EQ(l.RichTextBox1, (Place{0, 0, 19100, 14855}));
    }
    EXPECT_EQ(computeStartupLayout(15360, 11520).txtCaption, (Place{9425, 485, 4000, 395}));
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
    EXPECT_EQ(naming(f),
              (Lines{ClipKind::Nothing, Form1::DesignCaption, "Clipboard Print with Options", ""}));
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
    for (int key : {KeyCode::Enter, 65, 112, 114, 117})
        f.Form_KeyDown(key, 0);
    // Ctrl+O opens only with Ctrl alone.
    for (int shift : {ShiftState::Ctrl | ShiftState::Shift, ShiftState::Ctrl | ShiftState::Alt, 0})
        f.Form_KeyDown(KeyCode::O, shift);
    f.Form_KeyUp(KeyCode::Escape, 0);
    f.Form_KeyPress('a');
    f.Form_KeyPress(13);
    EXPECT_EQ(f.caption, Form1::DesignCaption);
    EXPECT_FALSE(f.txtCaption.visible);
    EXPECT_EQ(journal, Lines{});

    f.caption = "<img src=/etc/passwd>";
    f.Form_Click();
    // Escape ends the program whatever the modifiers.
    for (int shift : {0, ShiftState::Shift, ShiftState::Ctrl, ShiftState::Alt, 7})
        f.Form_KeyDown(KeyCode::Escape, shift);
    EXPECT_EQ(journal, (Lines{"box <img src=/etc/passwd>", "end", "end", "end", "end", "end"}));
}

} // namespace
} // namespace dovrante::test
