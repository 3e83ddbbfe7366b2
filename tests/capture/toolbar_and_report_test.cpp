#include "capture/sizes_report.h"
#include "support/form_fixture.h"

#include <gtest/gtest.h>

namespace dovrante::test {
namespace {

using ToolbarToggleTest = FormFixture;

TEST_F(ToolbarToggleTest, TheToggleBoxFoldsTheToolbarAndBringsItBackWithText)
{
    clipboard.holdText("text");
    Form1 &f = started();
    for (const auto &[shown, word] : {std::pair{false, "+"}, {true, "_"}}) {
        f.txtMin_Click();
        expectToolbar(f, shown);
        EXPECT_EQ(f.cmdFont.visible, shown);
        EXPECT_EQ(f.cmdFontP.visible, shown);
        EXPECT_EQ(f.cmdMin.caption, word);
        EXPECT_EQ(f.txtMin.text, word);
        EXPECT_TRUE(f.txtMin.visible);
        EXPECT_FALSE(f.cmdMin.visible);
    }
}

TEST_F(ToolbarToggleTest, TheFontButtonsStayHiddenUnlessTheClipIsText)
{
    clipboard.holdText("text");
    Form1 &f = started();
    // A capture of neither text nor picture leaves the text view on show.
    clipboard.formats = {};
    f.ReloadFromClipboard();
    f.ToggleToolbar();
    f.ToggleToolbar();
    EXPECT_TRUE(f.cmdPrint.visible);
    EXPECT_FALSE(f.cmdFont.visible);
    EXPECT_FALSE(f.cmdFontP.visible);
}

TEST_F(ToolbarToggleTest, ATextCaptureShowsTheFontButtonsEvenWhileFolded)
{
    clipboard.holdPicture(makePicture(100, 100));
    Form1 &f = started();
    f.ToggleToolbar();
    clipboard.holdText("now text");
    f.ReloadFromClipboard();
    EXPECT_TRUE(f.cmdFont.visible);
    EXPECT_FALSE(f.cmdPrint.visible);
}

TEST(SizesReportTest, ListsThePictureControlsTabSeparated)
{
    Control picture1;
    picture1.left = 360;
    picture1.top = 840;
    picture1.width = 1935;
    picture1.height = 1935;
    Control picture2;
    picture2.left = -500;
    picture2.width = 3000;
    picture2.height = 2000;
    Control image1 = picture2;
    image1.left = 0;
    EXPECT_EQ(picturesSizesReport(picture1, picture2, image1), " \tTop\tLeft\tHeight\tWidth\r\n"
                                                               "Picture1:\t840\t360\t1935\t1935\r\n"
                                                               "Picture2:\t0\t-500\t2000\t3000\r\n"
                                                               "Image1:\t0\t0\t2000\t3000\r\n");
}

TEST(SizesReportTest, NumbersHaveNoTrailingZerosAndSevenDigits)
{
    EXPECT_EQ(generalNumber(1234.5f), "1234.5");
    EXPECT_EQ(generalNumber(-1500.0f), "-1500");
    EXPECT_EQ(generalNumber(15005.0f), "15005");
    EXPECT_EQ(generalNumber(1.0f / 3.0f), "0.3333333");
}

using PictureClicksTest = FormFixture;

TEST_F(PictureClicksTest, APressOnThePictureReportsSizesAndNamesTheControls)
{
    clipboard.holdPicture(makePicture(2540, 2540));
    Form1 &f = started();
    for (int button : {MouseButton::Left, MouseButton::Middle})
        f.Picture2_MouseDown(button);
    ASSERT_EQ(messageBox.shown.size(), 2u);
    EXPECT_EQ(messageBox.shown[0].title, "Test: Picture Sizes");
    EXPECT_TRUE(messageBox.shown[0].text.ends_with("Image1:\t0\t0\t1440\t1440\r\n"));
    EXPECT_EQ(f.Picture1.toolTip, "Picture1");
    EXPECT_EQ(f.Picture2.toolTip, "Picture2");
    EXPECT_EQ(f.Image1.toolTip, "Image1");

    f.Picture2_MouseDown(MouseButton::Right);
    EXPECT_EQ(messageBox.shown.size(), 2u) << "the right button captures instead";

    f.Picture1_Click();
    EXPECT_EQ(messageBox.shown.back().text, "15005");
    EXPECT_FALSE(messageBox.shown.back().title.has_value());
}

using ColourModeTest = FormFixture;

TEST_F(ColourModeTest, TheButtonFlipsModeAndPrinterAndHandsTheFocusToPrint)
{
    clipboard.holdPicture(makePicture(100, 100));
    Form1 &f = started();
    ASSERT_EQ(f.cmdColor.caption, "Color");
    f.cmdColor_Click();
    EXPECT_EQ(f.cmdColor.caption, "B/W");
    EXPECT_EQ(printer.mode, PrinterValue::Monochrome);
    EXPECT_EQ(f.takeFocusRequest(), &f.cmdPrint);
    f.cmdColor_Click();
    EXPECT_EQ(f.cmdColor.caption, "Color");
    EXPECT_EQ(printer.mode, PrinterValue::Colour);

    // Anything but "Color" counts as black and white.
    f.cmdColor.caption = "color";
    f.cmdColor_Click();
    EXPECT_EQ(f.cmdColor.caption, "Color");

    // A new picture capture sets colour again after the user chose B/W.
    f.cmdColor_Click();
    f.ReloadFromClipboard();
    EXPECT_EQ(f.cmdColor.caption, "Color");
    EXPECT_EQ(printer.mode, PrinterValue::Colour);
}

TEST_F(ColourModeTest, BeforeAnyCaptureThePrinterKeepsItsOwnMode)
{
    printer.mode = PrinterValue::Monochrome;
    Form1 &f = form();
    EXPECT_EQ(f.cmdColor.caption, "Color");
    EXPECT_EQ(printer.mode, PrinterValue::Monochrome);
}

} // namespace
} // namespace dovrante::test
