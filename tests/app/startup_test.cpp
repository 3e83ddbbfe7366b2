#include "app/toolbar_layout.h"
#include "support/form_fixture.h"

#include <gtest/gtest.h>

namespace dovrante::test {
namespace {

using StartupTest = FormFixture;

TEST(StartupLayoutTest, PlacesToolbarFromTheRightOnA1024By768Screen)
{
    const StartupLayout l = computeStartupLayout(15360, 11520);
    const std::pair<const char *, Place> expected[] = {
        {"cmdMin", {14690, 85, 255, 300}},     {"txtMin", {14690, 85, 255, 300}},
        {"cmdIdeas", {13975, 85, 615, 300}},   {"cmdBmpData", {13620, 85, 255, 300}},
        {"cmdTxtData", {13365, 85, 255, 300}}, {"cmdSaveAs", {12510, 85, 855, 300}},
        {"cmdSave", {12255, 85, 255, 300}},    {"cmdFolders", {12000, 85, 255, 300}},
        {"cmdReload", {11180, 85, 720, 300}},  {"cmdCaption", {10825, 85, 255, 300}},
        {"cmdColor", {10125, 85, 600, 300}},   {"cmdPrint", {9425, 85, 600, 300}},
        {"cmdOpen", {9070, 85, 255, 300}},     {"cmdFontP", {8470, 85, 255, 300}},
        {"cmdFont", {7870, 85, 500, 300}},
    };
    const Place actual[] = {l.cmdMin,    l.txtMin,   l.cmdIdeas,   l.cmdBmpData, l.cmdTxtData,
                            l.cmdSaveAs, l.cmdSave,  l.cmdFolders, l.cmdReload,  l.cmdCaption,
                            l.cmdColor,  l.cmdPrint, l.cmdOpen,    l.cmdFontP,   l.cmdFont};
    for (size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(actual[i], expected[i].second) << expected[i].first;

    EXPECT_EQ(l.txtCaption, (Place{9425, 485, 4000, 395}));
    EXPECT_EQ(l.Picture1, (Place{0, 0, 15005, 10765}));
    EXPECT_EQ(l.Picture2, l.Picture1);
    EXPECT_EQ(l.Image1, l.Picture1);
    EXPECT_EQ(l.HScroll1, (Place{0, 10765, 15005, 255}));
    EXPECT_EQ(l.VScroll1, (Place{15005, 0, 255, 10765}));
    EXPECT_EQ(l.RichTextBox1, (Place{0, 0, 19100, 14855}));
}

TEST(StartupLayoutTest, FollowsTheScreenExceptForTheTextView)
{
    // 1920 x 1080 at 96 DPI.
    const StartupLayout l = computeStartupLayout(28800, 16200);
    EXPECT_EQ(l.cmdMin.left, 28800 - 670);
    EXPECT_EQ(l.cmdFontP.left, 28800 - 6890);
    EXPECT_EQ(l.cmdFont.left, 28800 - 7490);
    // The preset-font button keeps its wider gap of 345 twips to "O".
    EXPECT_EQ(l.cmdOpen.left - (l.cmdFontP.left + l.cmdFontP.width), 345);
    EXPECT_EQ(l.Picture1, (Place{0, 0, 28445, 15445}));
    EXPECT_EQ(l.HScroll1.top + l.HScroll1.height, 16200 - 500);
    EXPECT_EQ(l.VScroll1.left + l.VScroll1.width, 28800 - 100);
    EXPECT_EQ(l.RichTextBox1, (Place{0, 0, 19100, 14855}));
}

TEST_F(StartupTest, AnEmptyClipboardFillsTheScreenWithTheToolbarAloneAndTouchesNothing)
{
    screen.widthPixels = 1920;
    screen.heightPixels = 1080;
    Form1 &f = started();
    EXPECT_EQ((Place{f.left, f.top, f.width, f.height}), (Place{0, 0, 28800, 16200}));
    EXPECT_EQ(f.backColour, 0xC8FAFFu);
    EXPECT_TRUE(f.keyPreview);
    EXPECT_EQ(f.cmdPrint.left, 28800 - 5935);

    expectToolbar(f, true);
    EXPECT_FALSE(f.cmdMin.visible);
    EXPECT_EQ(f.cmdMin.caption, "_");
    EXPECT_TRUE(f.txtMin.visible);
    EXPECT_EQ(f.txtMin.text, "-");
    EXPECT_EQ(f.txtMin.backColour, 0xCC99FFu);
    EXPECT_FALSE(f.txtCaption.visible);
    expectShows(f, Shows::Nothing);
    EXPECT_TRUE(f.Image1.visible);
    EXPECT_EQ(f.RichTextBox1.font, (FontSpec{"Courier", 10.0f, false, false, false, false}));

    // The unchanged caption is copied into the caption box.
    EXPECT_EQ(f.caption, "Clipboard Print with Options");
    EXPECT_EQ(f.txtCaption.text, "Clipboard Print with Options");
    EXPECT_TRUE(f.dateCaption.empty());
    EXPECT_TRUE(files.files.empty());
    EXPECT_TRUE(messageBox.shown.empty());
    EXPECT_TRUE(launcher.started.empty());
}

TEST_F(StartupTest, TheProgramsFilesAreNamedAfterItsFolderAndItsName)
{
    const struct {
        const char *folder, *base, *executable, *bmpData, *txtData;
    } cases[] = {
        {"/home/me/My Tools", "Dovrante", "Dovrante.exe", "/home/me/My Tools/Dovrante/BMP Data",
         "/home/me/My Tools/Dovrante Data.txt"},
        // A folder cannot share the executable's own name: the pictures go beside the files.
        {"/opt/Tools", "Dovrante", "Dovrante", "/opt/Tools/Dovrante BMP Data",
         "/opt/Tools/Dovrante Data.txt"},
        {"/opt/Tools", "Clipper", "Clipper.bin", "/opt/Tools/Clipper/BMP Data",
         "/opt/Tools/Clipper Data.txt"},
    };
    for (const auto &c : cases) {
        program.folder = c.folder;
        program.base = c.base;
        program.executable = c.executable;
        Form1 &f = form();
        f.Form_Load();
        EXPECT_EQ(f.bmpDataFolder, c.bmpData);
        EXPECT_EQ(f.cmdBmpData.toolTip, std::string("Open the BMP Data Folder: ") + c.bmpData);
        EXPECT_EQ(f.cmdTxtData.toolTip, std::string("Edit the Text Data File: ") + c.txtData);
    }
}

} // namespace
} // namespace dovrante::test
