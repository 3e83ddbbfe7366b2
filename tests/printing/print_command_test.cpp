#include "printing/dovrant_s.h"
#include "support/form_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dovrante::test {
namespace {

using Calls = std::vector<std::string>;

// The default printer "Office Laser" installed and named by the profile; the status window's
// shows and closes logged among the printer's calls.
class PrintTest : public FormFixture {
protected:
    void SetUp() override
    {
        installedPrinters.names = {"Photo Inkjet", "Office Laser"};
        profile.entries["windows/device"] = "Office Laser,winspool,Ne01:";
        statusWindow.journal = &printer.calls;
    }

    DovrantS statusWindowModel(const std::string &clipKind = ClipKind::Picture)
    {
        return DovrantS(DovrantS::Services{printer, profile, installedPrinters, statusWindow},
                        clipKind);
    }

    // The status line a fresh load of the window writes.
    std::string loadedStatusLine(const std::string &clipKind = ClipKind::Picture)
    {
        DovrantS window = statusWindowModel(clipKind);
        window.Form_Load();
        return window.labStatus.caption;
    }
};

TEST_F(PrintTest, StatusLineNamesTheDefaultPrinterAndTheMode)
{
    clipboard.holdPicture(makePicture(100, 100));
    printer.mode = PrinterValue::Colour;
    EXPECT_EQ(loadedStatusLine(), "Printing to Office Laser   (Color)");
    printer.mode = PrinterValue::Monochrome;
    EXPECT_EQ(loadedStatusLine(), "Printing to Office Laser   (B/W)");
    // A picture on the clipboard leaves the mode alone.
    EXPECT_EQ(printer.calls, Calls{});

    profile.entries["windows/device"] = "Gone Printer,winspool,Ne02:";
    EXPECT_EQ(loadedStatusLine(), "Printing to (no default printer)   (B/W)");
}

TEST_F(PrintTest, ATextClipForcesBlackAndWhiteButLeavesTheToggle)
{
    // The clip kind decides, not what the clipboard holds by now.
    clipboard.holdPicture(makePicture(100, 100));
    form().cmdColor.caption = "Color";
    printer.mode = PrinterValue::Colour;
    EXPECT_EQ(loadedStatusLine(ClipKind::Text), "Printing to Office Laser   (B/W)");
    EXPECT_EQ(printer.calls, Calls{"colourMode 1"});
    EXPECT_EQ(form().cmdColor.caption, "Color");
}

TEST_F(PrintTest, StatusWindowHasItsDesignLookAndLoadsOnlyOnItsFirstShow)
{
    clipboard.holdPicture(makePicture(100, 100));
    DovrantS window = statusWindowModel();
    window.Show();
    printer.mode = PrinterValue::Monochrome;
    window.Show();

    ASSERT_EQ(statusWindow.shown.size(), 2u);
    const StatusWindowLook &look = statusWindow.shown.back();
    EXPECT_EQ(look.caption, "Dovrante - RVMK Clipboard Print Utility");
    EXPECT_EQ(look.backColour, 0xC0FFFFu);
    EXPECT_EQ(look.clientWidth, 7170.0f);
    EXPECT_EQ(look.clientHeight, 840.0f);
    EXPECT_EQ(look.labelLeft, 120.0f);
    EXPECT_EQ(look.labelTop, 120.0f);
    EXPECT_EQ(look.labelWidth, 6855.0f);
    EXPECT_EQ(look.labelHeight, 495.0f);
    EXPECT_EQ(look.labelFont, (FontSpec{"MS Sans Serif", 18.0f, false, false, false, false}));
    // Loaded once: the second show still tells the mode of the first.
    EXPECT_EQ(look.labelCaption, "Printing to Office Laser   (Color)");

    window.Unload();
    window.Show();
    EXPECT_EQ(statusWindow.shown.back().labelCaption, "Printing to Office Laser   (B/W)");
}

TEST_F(PrintTest, TextIsPrintedInTheViewsFontThenTheProgramEnds)
{
    // Empty text still makes and ends a document.
    for (const std::string text : {"Hello\r\nWorld", ""}) {
        printer.calls.clear();
        pointer.shapes.clear();
        programEnd.ends = 0;
        Form1 &f = form();
        f.clipKind = ClipKind::Text;
        f.RichTextBox1.text = text;
        f.RichTextBox1.font = FontSpec{"Arial Black", 36.0f, true, true, true, true};

        f.cmdPrint_Click();

        EXPECT_EQ(printer.calls,
                  (Calls{"colourMode 1", "status shown: Printing to Office Laser   (B/W)",
                         "font Arial Black", "print " + text, "endDoc"}));
        EXPECT_EQ(printer.font, f.RichTextBox1.font);
        EXPECT_EQ(pointer.shapes,
                  (std::vector<int>{PointerShape::Hourglass, PointerShape::Default}));
        EXPECT_EQ(programEnd.ends, 1);
        EXPECT_TRUE(messageBox.shown.empty());
        EXPECT_TRUE(statusWindow.visible);
    }
}

TEST_F(PrintTest, PictureIsFittedToTheTurnedPageThenTheProgramEnds)
{
    clipboard.holdPicture(makePicture(20000, 10000));
    Form1 &f = form();
    f.clipKind = "2";
    f.Picture2.picture = clipboard.clipPicture;

    f.cmdPrint_Click();

    EXPECT_EQ(printer.calls, (Calls{"status shown: Printing to Office Laser   (Color)",
                                    "orientation 2", "paintPicture 0 0 15120 7560", "endDoc"}));
    ASSERT_EQ(printer.paints.size(), 1u);
    EXPECT_EQ(printer.paints[0].picture, f.Picture2.picture.get());
    EXPECT_EQ(pointer.shapes, (std::vector<int>{PointerShape::Hourglass, PointerShape::Default}));
    EXPECT_EQ(programEnd.ends, 1);
}

TEST_F(PrintTest, NothingHappensWhenTheClipIsNeitherTextNorPicture)
{
    Form1 &f = form();
    // An earlier capture's picture is still on show; the kind alone decides.
    f.Picture2.picture = makePicture(100, 100);
    f.RichTextBox1.text = "old text";
    for (const char *kind : {"99", "8", "", "01", "1 ", "2.0"}) {
        f.clipKind = kind;
        f.cmdPrint_Click();
    }
    EXPECT_EQ(printer.calls, Calls{});
    EXPECT_TRUE(statusWindow.shown.empty());
    EXPECT_TRUE(messageBox.shown.empty());
    EXPECT_EQ(programEnd.ends, 0);
    EXPECT_EQ(pointer.shapes.size(), 12u);
    EXPECT_EQ(pointer.shapes.back(), PointerShape::Default);
}

TEST_F(PrintTest, AFailedJobIsReportedAndTheProgramGoesOn)
{
    Form1 &f = form();
    f.clipKind = "1";
    f.RichTextBox1.text = "Hello";
    printer.endDocError = "CUPS did not take the job (printer stopped)";

    f.cmdPrint_Click();

    ASSERT_EQ(messageBox.shown.size(), 1u);
    const std::string &text = messageBox.shown[0].text;
    EXPECT_NE(text.find("Office Laser"), std::string::npos) << text;
    EXPECT_NE(text.find("CUPS did not take the job (printer stopped)"), std::string::npos) << text;
    EXPECT_EQ(printer.calls.back(), "status closed");
    EXPECT_FALSE(statusWindow.visible);
    EXPECT_EQ(pointer.shapes.back(), PointerShape::Default);
    EXPECT_EQ(programEnd.ends, 0);

    // The next print loads the status window afresh and can succeed.
    printer.endDocError.clear();
    f.cmdPrint_Click();
    EXPECT_EQ(statusWindow.shown.size(), 2u);
    EXPECT_EQ(programEnd.ends, 1);
}

TEST_F(PrintTest, AZeroHeightPictureIsReportedWithNothingDrawnOrHandedOver)
{
    Form1 &f = form();
    f.clipKind = "2";
    f.Picture2.picture = makePicture(1000, 0);
    printer.name = "";

    f.cmdPrint_Click();

    EXPECT_TRUE(printer.paints.empty());
    EXPECT_EQ(std::count(printer.calls.begin(), printer.calls.end(), "endDoc"), 0);
    ASSERT_EQ(messageBox.shown.size(), 1u);
    const std::string &text = messageBox.shown[0].text;
    EXPECT_NE(text.find("(no default printer)"), std::string::npos) << text;
    EXPECT_NE(text.find("division by zero"), std::string::npos) << text;
    EXPECT_EQ(statusWindow.closes, 1);
    EXPECT_EQ(programEnd.ends, 0);
}

} // namespace
} // namespace dovrante::test
