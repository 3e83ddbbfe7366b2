#include "capture/scroll_layout.h"
#include "capture/sizes_report.h"
#include "support/form_fixture.h"

namespace dovrante::test {
namespace {

using CaptureTest = FormFixture;

TEST_F(CaptureTest, TextWinsOverAPictureAndIsShownInBlackAndWhiteAndRecorded)
{
    holdPicture(makePicture(2540, 2540));
    formats.push_back(ClipFormat::Text);
    clipText = "first line\nsecond line";
    Form1 &f = started();

    EXPECT_EQ(naming(f), (Lines{"1", Form1::DesignCaption, Form1::DesignCaption, ""}));
    expectShows(f, Shows::Text);
    // The view holds the text with CR LF breaks, as the text control reports it.
    EXPECT_EQ((Lines{f.RichTextBox1.text, f.cmdColor.caption}),
              (Lines{"first line\r\nsecond line", "B/W"}));
    EXPECT_EQ(journal, (Lines{"colourMode 1", "append /opt/Tools/Dovrante Data.txt"}));
}

TEST_F(CaptureTest, AClipThatCannotBeTakenIsReportedAndLeavesClipboardViewAndCaptionAlone)
{
    // Whether a picture is on show before, then the clipboard at fault and what is said of it.
    const struct {
        bool pictureShown;
        std::vector<int> offered;
        std::string text, textError, says, formatsError = {};
    } cases[] = {
        {true, {ClipFormat::Text}, "", "no text came", "no text came"},
        {true, {ClipFormat::Text}, "", "", "no answer", "no answer"},
        {false, {ClipFormat::Text}, "/gone/x.jpg", "", "Cannot load the picture /gone/x.jpg: Gone"},
        {false, {ClipFormat::Bitmap}, "", "", "The clipboard's picture cannot be shown: no memory"},
    };
    for (const auto &c : cases) {
        textError.clear();
        formatsError.clear();
        if (c.pictureShown)
            holdPicture(makePicture(2540, 2540));
        else
            holdText("shown before");
        Form1 &f = started();
        const Lines before = naming(f);
        const std::string shown = f.RichTextBox1.text;
        hold(c.offered, c.text, nullptr);
        textError = c.textError;
        formatsError = c.formatsError;
        loadErrors[c.text] = c.says;
        pictureError = c.says;
        journal.clear();
        f.ReloadFromClipboard();

        EXPECT_EQ(journal, Lines{"box " + c.says});
        EXPECT_EQ(clipText, c.text) << c.says;
        EXPECT_EQ(naming(f), before);
        expectShows(f, c.pictureShown ? Shows::Picture : Shows::Text);
        EXPECT_EQ(f.RichTextBox1.text, shown);
    }
}

TEST_F(CaptureTest, APictureIsShownInColourAtItsNaturalSizeUnderADateAndTimeName)
{
    // Three readings of the clock: the year test, the name, and the save button's tooltip.
    moments = {DateTime{2026, 12, 5, 3, 50, 43}, DateTime{2026, 12, 5, 3, 50, 44},
               DateTime{2026, 12, 5, 3, 50, 45}};
    printerMode = ColourMode::Monochrome;
    // 2000 x 1500 pixels on a 1024 x 768 screen: twips are pixels times 15.
    holdPicture(makePicture(2000 * 2540 / 96, 1500 * 2540 / 96));
    Form1 &f = started();

    const std::string name = "20261205 035044.jpg";
    EXPECT_EQ(naming(f), (Lines{"2", name, name, name}));
    expectShows(f, Shows::Picture);
    EXPECT_EQ(journal, Lines{"colourMode 2"}) << "and no record";
    EXPECT_EQ((Lines{f.cmdColor.caption, f.cmdSave.toolTip}),
              (Lines{"Color", "Save the Screen Image to a file: "
                              "/opt/Tools/Dovrante/BMP Data/20261205 035045.jpg"}));
    // One picture object, shared by the picture box and the image box.
    EXPECT_EQ((std::pair{f.Picture2.picture, f.Image1.picture}),
              (std::pair{clipPicture, clipPicture}));
    // Shown whole; the scroll bars reach its far edges and lie along the viewport's.
    EXPECT_EQ(std::tuple(f.Image1.width, f.Image1.height, f.Picture2.width, f.Picture2.height,
                         f.HScroll1.max, f.VScroll1.max, f.HScroll1.top, f.VScroll1.left),
              std::tuple(30000.0f, 22500.0f, 30000.0f, 22500.0f, 30000 - 15005, 22500 - 10765,
                         10765.0f, 15005.0f));

    // A new picture scrolls back to the top left.
    f.HScroll1.value = 100;
    f.HScroll1_Change();
    f.ReloadFromClipboard();
    EXPECT_EQ(std::pair(f.HScroll1.value, f.Picture2.left), std::pair(int16_t(0), 0.0f));
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
    const std::string name = "20261231 235959.jpg";
    EXPECT_EQ(naming(f), (Lines{"2", name, name, name}));

    // A typed caption survives a picture capture.
    f.caption = "holiday.jpg";
    f.ReloadFromClipboard();
    EXPECT_EQ(f.caption, "holiday.jpg");
}

TEST_F(CaptureTest, ATextEndingInDotJpgShowsThatFilesPicture)
{
    // Only one line no longer than a path may be can name a file.
    for (const std::string &copied :
         {std::string("/home/me/a.jpeg"), std::string("\"/home/me/a.jpg\""), std::string("jpg"),
          std::string("/home/me/a.jpg\r\n/home/me/b.jpg"), "/" + std::string(5000, 'a') + ".jpg"}) {
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
    EXPECT_EQ(naming(f), (Lines{"2", "/home/me/Photo.JPG", "/home/me/Photo.JPG", ""}));
    EXPECT_EQ((std::pair{f.Picture2.picture, clipPicture}), (std::pair{photo, photo}));
    EXPECT_EQ(journal, Lines{"colourMode 2"}) << "the name is not recorded as text";
}

TEST_F(CaptureTest, AFileUrlOfOneLocalJpegAsTextOrAsAUriListShowsThatFilesPicture)
{
    const PicturePtr photo = makePicture(5080, 2540);
    readable["/home/me/my photo%.jpg"] = photo;
    readable["/home/me/a.jpg"] = photo;
    // The text, the uri-list, and the file shown (its path the caption), or else the clip's kind.
    const struct {
        std::string text, uriList, shows;
    } cases[] = {
        {"file:///home/me/my%20photo%25.jpg", "", "/home/me/my photo%.jpg"},
        {"file://localhost/home/me/a.jpg\r\n", "", "/home/me/a.jpg"},
        {"file:/home/me/a.jpg", "", "/home/me/a.jpg"},
        {"", "# copied\r\nfile:///home/me/my%20photo%25.jpg\r\n", "/home/me/my photo%.jpg"},
        {"my photo", "file:///home/me/a.jpg", "/home/me/a.jpg"},
        // Anything else stays as it is: another host, two files, another kind of file, a bad
        // escape.
        {"x", "file://server/home/me/a.jpg", "1"},
        {"", "file:///home/me/a.jpg\r\nfile:///home/me/b.jpg\r\n", "99"},
        {"", "file:///home/me/a.png", "99"},
        {"x", "file:///home/me/a%2.jpg", "1"},
        {"x", "http://example.com/a.jpg", "1"},
    };
    for (const auto &c : cases) {
        if (c.text.empty())
            hold({49152}, "", nullptr);
        else
            holdText(c.text);
        clipUriList = c.uriList;
        Form1 &f = form();
        f.caption = Form1::DesignCaption;
        f.ReloadFromClipboard();
        const bool picture = c.shows.front() == '/';
        EXPECT_EQ(clipKindText(f.clipKind), picture ? "2" : c.shows) << c.text << c.uriList;
        EXPECT_EQ(f.caption, picture ? c.shows : Form1::DesignCaption) << c.text << c.uriList;
    }
}

TEST_F(CaptureTest, OtherFormatsAreReportedBoxByBoxAndChangeNoView)
{
    // The last of formats 3..9 and 0 found wins, tested in that order; then each format's box,
    // titled with the format number after the first, once a format.
    const struct {
        std::vector<int> formats;
        std::string kind;
        Lines boxes;
    } cases[] = {
        {{49160, ClipFormat::Metafile, 0, ClipFormat::Metafile},
         "0",
         {"box Bad format: 0", "box 0 | GetFormat number is", "box 3 | GetFormat number is"}},
        {{ClipFormat::Palette}, "9", {"box Bad format: 9", "box 9 | GetFormat number is"}},
        // Registered formats alone are as quiet as an empty clipboard.
        {{49152, 49153}, "99", {}},
    };
    for (const auto &c : cases) {
        holdText("shown before");
        Form1 &f = started();
        journal.clear();
        formats = c.formats;
        formatQueries = 0;
        f.ReloadFromClipboard();

        EXPECT_EQ(std::pair(clipKindText(f.clipKind), formatQueries), std::pair(c.kind, 1));
        EXPECT_EQ(journal, c.boxes);
        expectShows(f, Shows::Text);
        EXPECT_EQ((Lines{f.RichTextBox1.text, f.cmdColor.caption}), (Lines{"shown before", "B/W"}));
    }
}

TEST_F(CaptureTest, TheToggleFoldsTheToolbarAndTheFontButtonsShowOnlyWithText)
{
    holdText("text");
    Form1 &f = started();
    for (const auto &[shown, word] : {std::pair{false, "+"}, {true, "_"}}) {
        f.txtMin_Click();
        expectToolbar(f, shown);
        // The font buttons fold with the bar; the toggle is the text box, never the button.
        EXPECT_EQ(std::tuple(f.cmdFont.visible, f.cmdFontP.visible, f.txtMin.visible,
                             f.cmdMin.visible, f.cmdMin.caption, f.txtMin.text),
                  std::tuple(shown, shown, true, false, word, word));
    }
    // A capture of neither text nor picture leaves the text view on show, not its buttons.
    formats = {};
    f.ReloadFromClipboard();
    f.ToggleToolbar();
    f.ToggleToolbar();
    EXPECT_EQ(std::tuple(f.cmdPrint.visible, f.cmdFont.visible, f.cmdFontP.visible),
              std::tuple(true, false, false));

    // A text capture shows the font buttons even while the tool bar is folded.
    f.ToggleToolbar();
    holdText("now text");
    f.ReloadFromClipboard();
    EXPECT_EQ(std::pair(f.cmdFont.visible, f.cmdPrint.visible), std::pair(true, false));
}

TEST_F(CaptureTest, PressesOnThePictureReportItsSizesAndTheReloadButtonAndCtrlF5Capture)
{
    holdPicture(makePicture(2540, 2540));
    Form1 &f = started();
    journal.clear();
    // The right button captures instead, as do the reload button and Ctrl+F5.
    for (MouseButton button : {MouseButton::Left, MouseButton::Middle, MouseButton::Right})
        f.Picture2_MouseDown(button);
    f.Picture1_MouseDown(MouseButton::Left);
    f.Image1_MouseDown(MouseButton::Middle);
    f.cmdReload_Click();
    f.Form_KeyDown(KeyCode::F5, ShiftState::Ctrl);
    // The viewport of a 1024 x 768 screen, the one-inch picture in it at the origin.
    const std::string report = " \tTop\tLeft\tHeight\tWidth\r\n"
                               "Picture1:\t0\t0\t10765\t15005\r\n"
                               "Picture2:\t0\t0\t1440\t1440\r\n"
                               "Image1:\t0\t0\t1440\t1440\r\n";
    EXPECT_EQ(journal, (Lines{"box " + report + " | Test: Picture Sizes",
                              "box " + report + " | Test: Picture Sizes", "colourMode 2",
                              "colourMode 2", "colourMode 2"}));
    EXPECT_EQ((Lines{f.Picture1.toolTip, f.Picture2.toolTip, f.Image1.toolTip}),
              (Lines{"Picture1", "Picture2", "Image1"}));
}

TEST(SizesReportTest, ListsThePictureControlsTabSeparatedInGeneralNumbers)
{
    Control picture1, picture2, image1;
    std::tie(picture1.left, picture1.top, picture1.width, picture1.height) =
        std::tuple(360.0f, 840.0f, 1935.0f, 1935.0f);
    std::tie(picture2.left, picture2.width, picture2.height) =
        std::tuple(-500.0f, 3000.0f, 2000.0f);
    std::tie(image1.width, image1.height) = std::tuple(1234.5f, 1.0f / 3.0f);
    EXPECT_EQ(picturesSizesReport(picture1, picture2, image1),
              " \tTop\tLeft\tHeight\tWidth\r\n"
              "Picture1:\t840\t360\t1935\t1935\r\n"
              "Picture2:\t0\t-500\t2000\t3000\r\n"
              "Image1:\t0\t0\t0.3333333\t1234.5\r\n");
}

TEST(ScrollSetupTest, RangeStepsAndOffsetsFollowPictureAndViewport)
{
    // Overhang of 1000 twips on a picture 2000 twips wide; just inside the 16-bit limit the values
    // are exact.
    EXPECT_EQ(computeScrollSetup(2000, 1000), (ScrollSetup{1000, 1000, 20, 1}));
    EXPECT_EQ(computeScrollSetup(32767 + 1000, 1000), (ScrollSetup{32767, 1000, 338, 1}));
    // Exactly the viewport's size: nothing to scroll; smaller: the maximum is negative; fractions
    // are cut.
    for (const auto &[length, viewport, max] :
         {std::tuple{1935.0f, 1935.0f, 0}, {3000.0f, 15005.0f, -12005}, {1000.5f, 0.0f, 1000}})
        EXPECT_EQ(computeScrollSetup(length, viewport).max, max) << length;
    // Steps round halves to even; a picture under 50 twips still gets a step the bar accepts.
    for (const auto &[length, step] : {std::pair{150.0f, 2}, {250.0f, 2}, {350.0f, 4}, {30.0f, 1}})
        EXPECT_EQ(computeScrollSetup(length, 1000).smallChange, step) << length;

    // A bar value moves the picture by its negation, in a coarser unit when too large.
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
