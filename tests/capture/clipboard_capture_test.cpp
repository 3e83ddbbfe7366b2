#include "support/form_fixture.h"

#include <gtest/gtest.h>

namespace dovrante::test {
namespace {

using ClipboardCaptureTest = FormFixture;

TEST_F(ClipboardCaptureTest, TextShowsTheTextViewInBlackAndWhiteAndIsRecorded)
{
    clipboard.holdText("first line\nsecond line");
    printer.mode = PrinterValue::Colour;
    Form1 &f = started();

    EXPECT_EQ(f.clipKind, ClipKind::Text);
    expectShows(f, Shows::Text);
    // The view holds the text with CR LF breaks, as the text control reports it.
    EXPECT_EQ(f.RichTextBox1.text, "first line\r\nsecond line");
    EXPECT_EQ(f.cmdColor.caption, "B/W");
    EXPECT_EQ(printer.mode, PrinterValue::Monochrome);
    EXPECT_EQ(f.caption, Form1::DesignCaption);
    EXPECT_EQ(f.txtCaption.text, Form1::DesignCaption);
    EXPECT_EQ(files.appendCalls, 1);
    EXPECT_TRUE(files.files.count("/opt/Tools/Dovrante Data.txt"));
}

TEST_F(ClipboardCaptureTest, TextThatNeverComesIsReportedNotShownNorRecorded)
{
    clipboard.holdPicture(makePicture(2540, 2540));
    Form1 &f = started();
    ASSERT_EQ(f.clipKind, ClipKind::Picture);

    clipboard.holdText("");
    clipboard.textError = "no text came";
    f.ReloadFromClipboard();
    ASSERT_EQ(messageBox.shown.size(), 1u);
    EXPECT_EQ(messageBox.shown[0].text, "no text came");
    EXPECT_EQ(f.clipKind, ClipKind::Picture);
    expectShows(f, Shows::Picture);
    EXPECT_EQ(files.appendCalls, 0);
}

TEST_F(ClipboardCaptureTest, TextWinsOverAPictureOnTheClipboard)
{
    clipboard.holdPicture(makePicture(2540, 2540));
    clipboard.formats.push_back(ClipFormat::Text);
    clipboard.clipText = "both";
    Form1 &f = started();
    EXPECT_EQ(f.clipKind, ClipKind::Text);
    EXPECT_EQ(f.RichTextBox1.text, "both");
}

TEST_F(ClipboardCaptureTest, APictureIsShownInColourUnderADateAndTimeName)
{
    // Three readings of the clock: the year test, the name, and the save button's tooltip.
    clock.moments = {DateTime{2026, 12, 5, 3, 50, 43}, DateTime{2026, 12, 5, 3, 50, 44},
                     DateTime{2026, 12, 5, 3, 50, 45}};
    clipboard.holdPicture(makePicture(2540 * 4, 2540 * 3));
    Form1 &f = started();

    EXPECT_EQ(f.clipKind, ClipKind::Picture);
    expectShows(f, Shows::Picture);
    EXPECT_EQ(f.cmdColor.caption, "Color");
    EXPECT_EQ(printer.mode, PrinterValue::Colour);
    EXPECT_EQ(f.dateCaption, "20261205 035044.jpg");
    EXPECT_EQ(f.caption, "20261205 035044.jpg");
    EXPECT_EQ(f.txtCaption.text, "20261205 035044.jpg");
    EXPECT_EQ(f.cmdSave.toolTip,
              "Save the Screen Image to a file: /opt/Tools/Dovrante/BMP Data/20261205 035045.jpg");
    // One picture object, shared by the picture box and the image box.
    EXPECT_EQ(f.Picture2.picture, clipboard.clipPicture);
    EXPECT_EQ(f.Image1.picture, clipboard.clipPicture);
    EXPECT_TRUE(files.files.empty());
}

TEST_F(ClipboardCaptureTest, TheDateCaptionIsKeptWithinTheYearAfterANewYearAndWhenTyped)
{
    clipboard.holdPicture(makePicture(100, 100));
    clock.setNow(DateTime{2026, 12, 31, 23, 59, 59});
    Form1 &f = started();
    ASSERT_EQ(f.caption, "20261231 235959.jpg");

    clock.setNow(DateTime{2026, 12, 31, 23, 59, 59});
    f.ReloadFromClipboard();
    EXPECT_EQ(f.caption, "20261231 235959.jpg");

    // Last year's name is neither this year's nor the design caption: it stays too.
    clock.setNow(DateTime{2027, 1, 1, 0, 0, 1});
    f.ReloadFromClipboard();
    EXPECT_EQ(f.caption, "20261231 235959.jpg");
    EXPECT_EQ(f.dateCaption, "20261231 235959.jpg");

    // A typed caption survives a picture capture.
    f.caption = "holiday.jpg";
    f.ReloadFromClipboard();
    EXPECT_EQ(f.caption, "holiday.jpg");
}

TEST_F(ClipboardCaptureTest, AJpegNameOnTheClipboardShowsThatFilesPicture)
{
    const PicturePtr photo = makePicture(5080, 2540);
    pictures.readable["/home/me/Photo.JPG"] = photo;
    clipboard.holdText("/home/me/Photo.JPG");
    Form1 &f = started();

    EXPECT_EQ(f.clipKind, ClipKind::Picture);
    EXPECT_EQ(f.Picture2.picture, photo);
    EXPECT_EQ(clipboard.clipPicture, photo);
    EXPECT_EQ(f.caption, "/home/me/Photo.JPG");
    EXPECT_EQ(f.txtCaption.text, "/home/me/Photo.JPG");
    EXPECT_TRUE(f.dateCaption.empty());
    EXPECT_TRUE(files.files.empty()) << "the name is not recorded as text";
}

TEST_F(ClipboardCaptureTest, OnlyANameEndingInDotJpgIsLoaded)
{
    for (const char *text : {"/home/me/a.jpeg", "\"/home/me/a.jpg\"", "jpg"}) {
        clipboard.holdText(text);
        Form1 &f = form();
        f.ReloadFromClipboard();
        EXPECT_EQ(f.clipKind, ClipKind::Text) << text;
    }
    EXPECT_TRUE(pictures.loads.empty());
}

TEST_F(ClipboardCaptureTest, AJpegThatDoesNotLoadLeavesClipboardViewAndCaptionAlone)
{
    clipboard.holdText("first");
    Form1 &f = started();
    const size_t entries = files.files.begin()->second.size();

    pictures.loadErrors["/gone/x.jpg"] = "Cannot load the picture /gone/x.jpg: File not found";
    clipboard.holdText("/gone/x.jpg");
    f.ReloadFromClipboard();

    ASSERT_EQ(messageBox.shown.size(), 1u);
    EXPECT_EQ(messageBox.shown[0].text, "Cannot load the picture /gone/x.jpg: File not found");
    EXPECT_EQ(clipboard.clears, 0);
    EXPECT_EQ(clipboard.clipText, "/gone/x.jpg");
    EXPECT_EQ(f.caption, Form1::DesignCaption);
    EXPECT_EQ(f.RichTextBox1.text, "first");
    EXPECT_EQ(f.clipKind, ClipKind::Text);
    EXPECT_EQ(files.files.begin()->second.size(), entries);
}

TEST_F(ClipboardCaptureTest, APictureThatCannotBeReadIsReportedAndTheViewStays)
{
    clipboard.holdText("kept");
    Form1 &f = started();
    clipboard.holdPicture(nullptr);
    clipboard.pictureError = "The clipboard's picture cannot be shown: out of memory";
    f.ReloadFromClipboard();
    ASSERT_EQ(messageBox.shown.size(), 1u);
    EXPECT_EQ(messageBox.shown[0].text, "The clipboard's picture cannot be shown: out of memory");
    EXPECT_EQ(f.clipKind, ClipKind::Text);
    expectShows(f, Shows::Text);
}

TEST_F(ClipboardCaptureTest, OtherFormatsAreReportedBoxByBoxAndChangeNoView)
{
    // The last of formats 3..9 and 0 found wins, tested in that order; then each format's box.
    const struct {
        std::vector<int> formats;
        std::string kind;
        std::vector<std::string> boxes;
    } cases[] = {
        {{49160, ClipFormat::Metafile, 0}, "0", {"Bad format: 0", "0", "3"}},
        {{ClipFormat::Palette}, "9", {"Bad format: 9", "9"}},
        // Registered formats alone are as quiet as an empty clipboard.
        {{49152, 49153}, ClipKind::Nothing, {}},
    };
    for (const auto &c : cases) {
        clipboard.holdText("shown before");
        Form1 &f = started();
        messageBox.shown.clear();
        clipboard.formats = c.formats;
        clipboard.formatQueries = 0;
        f.ReloadFromClipboard();

        EXPECT_EQ(f.clipKind, c.kind);
        EXPECT_EQ(clipboard.formatQueries, 1);
        ASSERT_EQ(messageBox.shown.size(), c.boxes.size()) << c.kind;
        for (std::size_t i = 0; i < c.boxes.size(); ++i) {
            EXPECT_EQ(messageBox.shown[i].text, c.boxes[i]);
            // The first box has no title, those that follow name the format number.
            EXPECT_EQ(messageBox.shown[i].title,
                      i == 0 ? std::nullopt : std::optional<std::string>("GetFormat number is"));
        }
        expectShows(f, Shows::Text);
        EXPECT_EQ(f.RichTextBox1.text, "shown before");
        EXPECT_EQ(f.cmdColor.caption, "B/W");
    }
}

TEST_F(ClipboardCaptureTest, RightButtonsCaptureAgainAndTheLeftOnTextFoldsTheToolbar)
{
    Form1 &f = started();
    clipboard.holdText("again");
    f.Picture1_MouseDown(MouseButton::Right);
    EXPECT_EQ(f.clipKind, ClipKind::Text);
    const int before = files.appendCalls;
    f.Picture1_MouseDown(MouseButton::Left);
    f.Image1_MouseDown(MouseButton::Middle);
    EXPECT_EQ(files.appendCalls, before);
    f.Image1_MouseDown(MouseButton::Right);
    f.RichTextBox1_MouseDown(MouseButton::Right);
    f.cmdReload_Click();
    f.Form_KeyDown(KeyCode::F5, ShiftState::Ctrl);
    EXPECT_EQ(files.appendCalls, before + 4);

    f.RichTextBox1_MouseDown(MouseButton::Left);
    EXPECT_FALSE(f.cmdPrint.visible);
    f.RichTextBox1_MouseDown(MouseButton::Middle);
    EXPECT_FALSE(f.cmdPrint.visible);
}

} // namespace
} // namespace dovrante::test
