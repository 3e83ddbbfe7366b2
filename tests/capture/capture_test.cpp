#include "capture/scroll_layout.h"
#include "capture/sizes_report.h"
#include "support/form_fixture.h"

#include <functional>

namespace dovrante::test {
namespace {

using CaptureTest = FormFixture;

TEST_F(CaptureTest, TextWinsOverAPictureAndIsShownInBlackAndWhiteAndRecorded)
{
    holdPicture(makePicture(2540, 2540));
    formats.push_back(ClipFormat::Text);
    clipText = "first line\nsecond line";
    Form1 &f = started();

    EXPECT_EQ(naming(f), (Lines{ClipKind::Text, Form1::DesignCaption, Form1::DesignCaption, ""}));
    expectShows(f, Shows::Text);
    // The view holds the text with CR LF breaks, as the text control reports it.
    EXPECT_EQ(f.RichTextBox1.text, "first line\r\nsecond line");
    EXPECT_EQ(f.cmdColor.caption, "B/W");
    EXPECT_EQ(journal, (Lines{"colourMode 1", "append /opt/Tools/Dovrante Data.txt"}));
}

TEST_F(CaptureTest, AClipThatCannotBeTakenIsReportedAndLeavesClipboardViewAndCaptionAlone)
{
    // Whether a picture is on show before, and the fault, which gives its description.
    const std::pair<bool, std::function<std::string()>> cases[] = {
        {true, [&] { return holdText(""), textError = "no text came"; }},
        {false,
         [&] {
             return holdText("/gone/x.jpg"),
                    loadErrors["/gone/x.jpg"] = "Cannot load the picture /gone/x.jpg: Gone";
         }},
        {false,
         [&] {
             return holdPicture(nullptr),
                    pictureError = "The clipboard's picture cannot be shown: out of memory";
         }},
    };
    for (const auto &[pictureShown, fault] : cases) {
        textError.clear();
        pictureShown ? holdPicture(makePicture(2540, 2540)) : holdText("shown before");
        Form1 &f = started();
        const Lines before = naming(f);
        const std::string shown = f.RichTextBox1.text, says = fault(), copied = clipText;
        journal.clear();
        f.ReloadFromClipboard();

        EXPECT_EQ(journal, Lines{"box " + says});
        EXPECT_EQ(clipText, copied) << says;
        EXPECT_EQ(naming(f), before);
        expectShows(f, pictureShown ? Shows::Picture : Shows::Text);
        EXPECT_EQ(f.RichTextBox1.text, shown);
    }
}

TEST_F(CaptureTest, APictureIsShownInColourAtItsNaturalSizeUnderADateAndTimeName)
{
    // Three readings of the clock: the year test, the name, and the save button's tooltip.
    moments = {DateTime{2026, 12, 5, 3, 50, 43}, DateTime{2026, 12, 5, 3, 50, 44},
               DateTime{2026, 12, 5, 3, 50, 45}};
    printerMode = PrinterValue::Monochrome;
    // 2000 x 1500 pixels on a 1024 x 768 screen: twips are pixels times 15.
    holdPicture(makePicture(2000 * 2540 / 96, 1500 * 2540 / 96));
    Form1 &f = started();

    EXPECT_EQ(naming(f), (Lines{ClipKind::Picture, "20261205 035044.jpg", "20261205 035044.jpg",
                                "20261205 035044.jpg"}));
    expectShows(f, Shows::Picture);
    EXPECT_EQ(f.cmdColor.caption, "Color");
    EXPECT_EQ(journal, Lines{"colourMode 2"}) << "and no record";
    EXPECT_EQ(f.cmdSave.toolTip,
              "Save the Screen Image to a file: /opt/Tools/Dovrante/BMP Data/20261205 035045.jpg");
    // One picture object, shared by the picture box and the image box.
    EXPECT_EQ(f.Picture2.picture, clipPicture);
    EXPECT_EQ(f.Image1.picture, clipPicture);

    EXPECT_EQ((Place{f.Image1.width, f.Image1.height, f.Picture2.width, f.Picture2.height}),
              (Place{30000, 22500, 30000, 22500}));
    EXPECT_EQ(f.HScroll1.max, 30000 - 15005);
    EXPECT_EQ(f.VScroll1.max, 22500 - 10765);
    EXPECT_EQ((std::pair{f.HScroll1.top, f.VScroll1.left}), (std::pair{10765.0f, 15005.0f}));

    // A new picture scrolls back to the top left.
    f.HScroll1.value = 100;
    f.HScroll1_Change();
    f.ReloadFromClipboard();
    EXPECT_EQ(f.HScroll1.value, 0);
    EXPECT_EQ(f.Picture2.left, 0);
}

TEST_F(CaptureTest, TheDateCaptionIsKeptWithinTheYearAfterANewYearAndWhenTyped)
{
    holdPicture(makePicture(100, 100));
    setNow(DateTime{2026, 12, 31, 23, 59, 59});
    Form1 &f = started();
    f.ReloadFromClipboard();
    // Last year's name is neither this year's nor the design caption: it stays too.
    setNow(DateTime{2027, 1, 1, 0, 0, 1});
    f.ReloadFromClipboard();
    EXPECT_EQ(naming(f), (Lines{ClipKind::Picture, "20261231 235959.jpg", "20261231 235959.jpg",
                                "20261231 235959.jpg"}));

    // A typed caption survives a picture capture.
    f.caption = "holiday.jpg";
    f.ReloadFromClipboard();
    EXPECT_EQ(f.caption, "holiday.jpg");
}

TEST_F(CaptureTest, ATextEndingInDotJpgShowsThatFilesPicture)
{
    for (const char *copied : {"/home/me/a.jpeg", "\"/home/me/a.jpg\"", "jpg"}) {
        holdText(copied);
        form().ReloadFromClipboard();
        EXPECT_EQ(form().clipKind, ClipKind::Text) << copied;
    }
    EXPECT_EQ(lines("box"), Lines{}) << "no load was tried";

    const PicturePtr photo = makePicture(5080, 2540);
    readable["/home/me/Photo.JPG"] = photo;
    holdText("/home/me/Photo.JPG");
    journal.clear();
    Form1 &f = started();
    EXPECT_EQ(naming(f),
              (Lines{ClipKind::Picture, "/home/me/Photo.JPG", "/home/me/Photo.JPG", ""}));
    EXPECT_EQ(f.Picture2.picture, photo);
    EXPECT_EQ(clipPicture, photo);
    EXPECT_EQ(journal, Lines{"colourMode 2"}) << "the name is not recorded as text";
}

TEST_F(CaptureTest, OtherFormatsAreReportedBoxByBoxAndChangeNoView)
{
    // The last of formats 3..9 and 0 found wins, tested in that order; then each format's box,
    // titled with the format number after the first.
    const struct {
        std::vector<int> formats;
        std::string kind;
        Lines boxes;
    } cases[] = {
        {{49160, ClipFormat::Metafile, 0},
         "0",
         {"box Bad format: 0", "box 0 | GetFormat number is", "box 3 | GetFormat number is"}},
        {{ClipFormat::Palette}, "9", {"box Bad format: 9", "box 9 | GetFormat number is"}},
        // Registered formats alone are as quiet as an empty clipboard.
        {{49152, 49153}, ClipKind::Nothing, {}},
    };
    for (const auto &c : cases) {
        holdText("shown before");
        Form1 &f = started();
        journal.clear();
        formats = c.formats;
        formatQueries = 0;
        f.ReloadFromClipboard();

        EXPECT_EQ(f.clipKind, c.kind);
        EXPECT_EQ(formatQueries, 1);
        EXPECT_EQ(journal, c.boxes);
        expectShows(f, Shows::Text);
        EXPECT_EQ(f.RichTextBox1.text, "shown before");
        EXPECT_EQ(f.cmdColor.caption, "B/W");
    }
}

TEST_F(CaptureTest, TheReloadButtonAndCtrlF5CaptureAndOtherPressesDoNot)
{
    Form1 &f = started();
    holdText("again");
    f.Picture1_MouseDown(MouseButton::Left);
    f.Image1_MouseDown(MouseButton::Middle);
    f.cmdReload_Click();
    f.Form_KeyDown(KeyCode::F5, ShiftState::Ctrl);
    EXPECT_EQ(lines("append").size(), 2u);
}

TEST_F(CaptureTest, TheToggleFoldsTheToolbarAndTheFontButtonsShowOnlyWithText)
{
    holdText("text");
    Form1 &f = started();
    for (const auto &[shown, word] : {std::pair{false, "+"}, {true, "_"}}) {
        f.txtMin_Click();
        expectToolbar(f, shown);
        EXPECT_EQ((std::pair{f.cmdFont.visible, f.cmdFontP.visible}), (std::pair{shown, shown}));
        EXPECT_EQ((Lines{f.cmdMin.caption, f.txtMin.text}), (Lines{word, word}));
        EXPECT_TRUE(f.txtMin.visible);
        EXPECT_FALSE(f.cmdMin.visible);
    }
    // A capture of neither text nor picture leaves the text view on show, not its buttons.
    formats = {};
    f.ReloadFromClipboard();
    f.ToggleToolbar();
    f.ToggleToolbar();
    EXPECT_TRUE(f.cmdPrint.visible);
    EXPECT_FALSE(f.cmdFont.visible);
    EXPECT_FALSE(f.cmdFontP.visible);

    // A text capture shows the font buttons even while the tool bar is folded.
    f.ToggleToolbar();
    holdText("now text");
    f.ReloadFromClipboard();
    EXPECT_TRUE(f.cmdFont.visible);
    EXPECT_FALSE(f.cmdPrint.visible);
}

TEST_F(CaptureTest, APressOnThePictureReportsItsSizesAndTheControlsAreNamed)
{
    holdPicture(makePicture(2540, 2540));
    Form1 &f = started();
    journal.clear();
    for (int button : {MouseButton::Left, MouseButton::Middle, MouseButton::Right})
        f.Picture2_MouseDown(button);
    // The right button captures instead.
    ASSERT_EQ(journal.size(), 3u);
    EXPECT_EQ(journal[0], journal[1]);
    EXPECT_TRUE(journal[1].ends_with("Image1:\t0\t0\t1440\t1440\r\n | Test: Picture Sizes"));
    EXPECT_EQ(journal[2], "colourMode 2");
    EXPECT_EQ((Lines{f.Picture1.toolTip, f.Picture2.toolTip, f.Image1.toolTip}),
              (Lines{"Picture1", "Picture2", "Image1"}));
}

TEST(SizesReportTest, ListsThePictureControlsTabSeparatedInGeneralNumbers)
{
    Control picture1, picture2, image1;
    picture1.left = 360, picture1.top = 840, picture1.width = 1935, picture1.height = 1935;
    picture2.left = -500, picture2.width = 3000, picture2.height = 2000;
    image1.width = 1234.5f, image1.height = 1.0f / 3.0f;
    EXPECT_EQ(picturesSizesReport(picture1, picture2, image1),
              " \tTop\tLeft\tHeight\tWidth\r\n"
              "Picture1:\t840\t360\t1935\t1935\r\n"
              "Picture2:\t0\t-500\t2000\t3000\r\n"
              "Image1:\t0\t0\t0.3333333\t1234.5\r\n");
}

TEST(ScrollSetupTest, RangeAndStepsFollowPictureAndViewport)
{
    // Overhang of 1000 twips on a picture 2000 twips wide.
    EXPECT_EQ(computeScrollSetup(2000, 1000), (ScrollSetup{1000, 1000, 20, 1}));
    // Exactly the viewport's size: nothing to scroll; smaller: the maximum is negative.
    EXPECT_EQ(computeScrollSetup(1935, 1935).max, 0);
    EXPECT_EQ(computeScrollSetup(3000, 15005).max, -12005);
    // Steps round halves to even; a picture under 50 twips still gets a step the bar accepts.
    for (const auto &[length, step] : {std::pair{150.0f, 2}, {250.0f, 2}, {350.0f, 4}, {30.0f, 1}})
        EXPECT_EQ(computeScrollSetup(length, 1000).smallChange, step) << length;
    EXPECT_EQ(computeScrollSetup(1000.5f, 0).max, 1000);
    // Just inside the 16-bit limit the values are exact.
    EXPECT_EQ(computeScrollSetup(32767 + 1000, 1000), (ScrollSetup{32767, 1000, 338, 1}));
}

TEST(ScrollSetupTest, ABarValueMovesThePictureByItsNegationInACoarserUnitWhenTooLarge)
{
    const ScrollSetup exact = computeScrollSetup(2000, 1000);
    EXPECT_EQ(pictureOffset(500, exact, 1000), -500.0f);
    EXPECT_EQ(pictureOffset(-300, exact, -300), 300.0f);
    // -(-32768) does not fit in 16 bits and stays -32768.
    EXPECT_EQ(pictureOffset(-32768, exact, 1000), -32768.0f);

    // A 16384-pixel picture in a 1920-pixel viewport: the overhang is beyond 16 bits.
    const float overhang = 245760 - 28445;
    const ScrollSetup coarse = computeScrollSetup(245760, 28445);
    EXPECT_GT(coarse.unit, 1);
    // The far edge can still be reached, and not passed.
    EXPECT_GE(static_cast<double>(coarse.max) * coarse.unit, overhang);
    EXPECT_EQ(pictureOffset(coarse.max, coarse, overhang), -overhang);
    EXPECT_EQ(pictureOffset(0, coarse, overhang), 0.0f);
}

} // namespace
} // namespace dovrante::test
