#include "printing/dovrant_s.h"
#include "printing/print_support.h"
#include "support/form_fixture.h"

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
    std::string loadedStatusLine(const std::string &clipKind = ClipKind::Picture)
    {
        DovrantS window = statusWindowModel(clipKind);
        window.Form_Load();
        return window.labStatus.caption;
    }
    // The window holding a clip of the kind, as a capture leaves it.
    Form1 &holding(const std::string &kind, PicturePtr picture = makePicture(20000, 10000))
    {
        Form1 &f = form();
        f.clipKind = kind;
        f.RichTextBox1.text = "Hello";
        f.Picture2.picture = std::move(picture);
        return f;
    }
};

TEST_F(PrintTest, TheStatusLineNamesTheDefaultPrinterAndTheMode)
{
    EXPECT_EQ(loadedStatusLine(), "Printing to Office Laser   (Color)");
    printer.mode = PrinterValue::Monochrome;
    EXPECT_EQ(loadedStatusLine(), "Printing to Office Laser   (B/W)");
    EXPECT_EQ(printer.calls, Calls{}) << "a picture leaves the mode alone";

    // A text clip forces black and white, whatever the toggle says; the clip kind decides.
    clipboard.holdPicture(makePicture(100, 100));
    form().cmdColor.caption = "Color";
    printer.mode = PrinterValue::Colour;
    EXPECT_EQ(loadedStatusLine(ClipKind::Text), "Printing to Office Laser   (B/W)");
    EXPECT_EQ(printer.calls, Calls{"colourMode 1"});
    EXPECT_EQ(form().cmdColor.caption, "Color");

    profile.entries["windows/device"] = "Gone Printer,winspool,Ne02:";
    EXPECT_EQ(loadedStatusLine(), "Printing to (no default printer)   (B/W)");
}

TEST_F(PrintTest, TheStatusWindowLoadsOnlyOnItsFirstShow)
{
    DovrantS window = statusWindowModel();
    window.Show();
    printer.mode = PrinterValue::Monochrome;
    window.Show();
    ASSERT_EQ(statusWindow.shown.size(), 2u);
    const StatusWindowLook &look = statusWindow.shown.back();
    EXPECT_EQ((Place{look.labelLeft, look.labelTop, look.labelWidth, look.labelHeight}),
              (Place{120, 120, 6855, 495}));
    EXPECT_EQ(look.labelFont, (FontSpec{"MS Sans Serif", 18.0f, false, false, false, false}));
    // Loaded once: the second show still tells the mode of the first.
    EXPECT_EQ(look.labelCaption, "Printing to Office Laser   (Color)");

    window.Unload();
    window.Show();
    EXPECT_EQ(statusWindow.shown.back().labelCaption, "Printing to Office Laser   (B/W)");
}

TEST_F(PrintTest, TextInTheViewsFontOrThePictureFittedIsPrintedThenTheProgramEnds)
{
    const std::pair<const char *, Calls> cases[] = {
        {"2",
         {"status shown: Printing to Office Laser   (Color)", "orientation 2",
          "paintPicture 0 0 15120 7560", "endDoc"}},
        {"1",
         {"colourMode 1", "status shown: Printing to Office Laser   (B/W)", "font Arial Black",
          "print Hello", "endDoc"}},
    };
    for (const auto &[kind, calls] : cases) {
        printer.calls.clear();
        pointer.shapes.clear();
        programEnd.ends = 0;
        Form1 &f = holding(kind);
        f.RichTextBox1.font = FontSpec{"Arial Black", 36.0f, true, true, true, true};
        f.cmdPrint_Click();
        EXPECT_EQ(printer.calls, calls);
        EXPECT_EQ(pointer.shapes,
                  (std::vector<int>{PointerShape::Hourglass, PointerShape::Default}));
        EXPECT_EQ(programEnd.ends, 1);
        EXPECT_TRUE(messageBox.shown.empty());
        EXPECT_TRUE(statusWindow.visible);
        if (*kind == '2') {
            EXPECT_EQ(printer.paints.at(0).picture, f.Picture2.picture.get()) << "the clip's own";
        }
    }
    EXPECT_EQ(printer.font, form().RichTextBox1.font);
}

TEST_F(PrintTest, NothingHappensWhenTheClipIsNeitherTextNorPicture)
{
    // An earlier capture's text and picture are still on show; the kind alone decides.
    for (const char *kind : {"99", "8", "", "01", "1 ", "2.0"})
        holding(kind).cmdPrint_Click();
    EXPECT_EQ(printer.calls, Calls{});
    EXPECT_TRUE(statusWindow.shown.empty());
    EXPECT_TRUE(messageBox.shown.empty());
    EXPECT_EQ(programEnd.ends, 0);
    EXPECT_EQ(pointer.shapes.size(), 12u);
    EXPECT_EQ(pointer.shapes.back(), PointerShape::Default);
}

TEST_F(PrintTest, AJobThatFailsIsReportedAndTheNextOneLoadsTheStatusWindowAfresh)
{
    printer.endDocError = "CUPS did not take the job (printer stopped)";
    holding("1").cmdPrint_Click();
    // A zero-height picture cannot be fitted: nothing is drawn nor handed over.
    printer.name = "";
    holding("2", makePicture(1000, 0)).cmdPrint_Click();

    EXPECT_EQ(
        messageBox.texts(),
        (Calls{"Nothing was printed on Office Laser: CUPS did not take the job (printer "
               "stopped)",
               "Nothing was printed on (no default printer): the picture cannot be fitted to the "
               "page (division by zero)"}));
    EXPECT_EQ(std::count(printer.calls.begin(), printer.calls.end(), "endDoc"), 1);
    EXPECT_EQ(printer.calls.back(), "status closed");
    EXPECT_TRUE(printer.paints.empty());
    EXPECT_FALSE(statusWindow.visible);
    EXPECT_EQ(pointer.shapes.back(), PointerShape::Default);
    EXPECT_EQ(programEnd.ends, 0);

    printer.endDocError.clear();
    holding("1").cmdPrint_Click();
    EXPECT_EQ(statusWindow.shown.size(), 3u);
    EXPECT_EQ(programEnd.ends, 1);
}

TEST(FitPictureTest, FillsTheSideThatRunsOutFirstOrFailsOnArithmetic)
{
    // 1/3 as a 4-byte float, written out as the double that holds it: lengths are rounded so, as
    // the printer's own conversions hold them.
    constexpr double third = 0.3333333432674408;
    const struct {
        int pictureWidth, pictureHeight;
        double pageWidth, pageHeight;
        bool fitsWidth;
        double width, height;
        const char *error;
    } cases[] = {
        {2000, 1000, 26670.0, 13335.0, true, 26670.0, 13335.0, nullptr},
        {3, 1, 1.0, 1.0, true, 1.0, third, nullptr},
        {1, 3, 1.0, 1.0, false, third, 1.0, nullptr},
        {0, 1000, 100.0, 200.0, false, 0.0, 200.0, nullptr},
        {1000, 0, 100.0, 100.0, {}, {}, {}, "division by zero"},
        {0, 0, 100.0, 100.0, {}, {}, {}, "division by zero"},
        {1000, 1000, 100.0, 0.0, {}, {}, {}, "division by zero"},
        // A zero-width picture on a zero-width page: both ratios are 0, the tie divides by 0.
        {0, 1000, 0.0, 100.0, {}, {}, {}, "division by zero"},
        // A length the printer's 4-byte conversions cannot hold.
        {2, 1, 1e308, 1e300, {}, {}, {}, "overflow"},
    };
    for (const auto &c : cases) {
        const Result<PictureFit> fit =
            fitPicture(c.pictureWidth, c.pictureHeight, c.pageWidth, c.pageHeight);
        SCOPED_TRACE(::testing::Message() << c.pictureWidth << "x" << c.pictureHeight);
        ASSERT_EQ(fit.ok(), !c.error);
        if (c.error) {
            EXPECT_EQ(fit.error(), c.error);
            continue;
        }
        EXPECT_EQ(fit.value().fitsWidth, c.fitsWidth);
        EXPECT_EQ(fit.value().width, c.width);
        EXPECT_EQ(fit.value().height, c.height);
    }
}

TEST(ScaleUnitsTest, OneInchInEveryUnit)
{
    const std::pair<int, double> units[] = {
        {ScaleMode::Twips, 1440},       {ScaleMode::Points, 72},
        {ScaleMode::Pixels, 600},       {ScaleMode::Millimetres, 25.4},
        {ScaleMode::Centimetres, 2.54}, {ScaleMode::HiMetric, 2540}};
    for (const auto &[unit, inch] : units)
        EXPECT_DOUBLE_EQ(convertLength(1, ScaleMode::Inches, unit, 600), inch) << unit;
    EXPECT_DOUBLE_EQ(convertLength(2540, ScaleMode::HiMetric, ScaleMode::Twips, 600), 1440);
}

// PrintPictureFitted on the recording printer in each scale unit; sizes are written in twips.
class PrintPictureFittedTest : public ::testing::TestWithParam<int> {};

TEST_P(PrintPictureFittedTest, TurnsThePageAndFitsThePictureToIt)
{
    const struct {
        const char *name;
        float pageWidth, pageHeight; // portrait; landscape swaps them
        int pictureWidth, pictureHeight;
        int orientation;
        double width, height;
    } cases[] = {
        {"wide, landscape less than 2:1 fills the width", 11520, 15120, 20000, 10000,
         PrinterValue::Landscape, 15120, 7560},
        {"wide, landscape exactly 2:1 fills both", 7200, 14400, 20000, 10000,
         PrinterValue::Landscape, 14400, 7200},
        {"wide, landscape over 2:1 fills the height", 6000, 14400, 20000, 10000,
         PrinterValue::Landscape, 12000, 6000},
        {"square goes portrait", 11520, 15120, 5000, 5000, PrinterValue::Portrait, 11520, 11520},
        {"proportioned like the page fills it", 11520, 15120, 1600, 2100, PrinterValue::Portrait,
         11520, 15120},
        {"small is enlarged", 11520, 15120, 40, 20, PrinterValue::Landscape, 15120, 7560},
        {"zero width is drawn full height", 11520, 15120, 0, 1000, PrinterValue::Portrait, 0,
         15120},
    };
    const double unit = FakePrinter::twipsPerUnit(GetParam());
    for (const auto &c : cases) {
        FakePrinter printer;
        printer.currentScaleMode = GetParam();
        printer.portraitWidthTwips = c.pageWidth;
        printer.portraitHeightTwips = c.pageHeight;
        const PicturePtr picture = makePicture(c.pictureWidth, c.pictureHeight);
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(PrintPictureFitted(printer, *picture));
        EXPECT_EQ(printer.orientation, c.orientation);
        ASSERT_EQ(printer.paints.size(), 1u);
        const FakePrinter::Paint &paint = printer.paints.front();
        EXPECT_EQ(paint.picture, picture.get());
        EXPECT_EQ(paint.left, 0.0);
        EXPECT_EQ(paint.top, 0.0);
        EXPECT_FLOAT_EQ(static_cast<float>(paint.width), static_cast<float>(c.width / unit));
        EXPECT_FLOAT_EQ(static_cast<float>(paint.height), static_cast<float>(c.height / unit));
    }

    // A zero-height picture turns the page, then fails with nothing drawn.
    FakePrinter printer;
    printer.currentScaleMode = GetParam();
    const MaybeFailure failure = PrintPictureFitted(printer, *makePicture(1000, 0));
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->description.find("division by zero"), std::string::npos);
    EXPECT_EQ(printer.orientation, PrinterValue::Landscape);
    EXPECT_TRUE(printer.paints.empty());
}

INSTANTIATE_TEST_SUITE_P(ScaleModes, PrintPictureFittedTest,
                         ::testing::Values(ScaleMode::Twips, ScaleMode::Inches,
                                           ScaleMode::Millimetres, ScaleMode::Points,
                                           ScaleMode::HiMetric));

TEST(FindDefaultPrinterTest, FindsTheInstalledPrinterNamedByTheProfilesFirstField)
{
    const std::string longName(300, 'P'), name250(250, 'Q');
    const struct {
        std::vector<std::string> installed;
        std::optional<std::string> entry; // none: no entry in the profile
        std::optional<std::string> found;
    } cases[] = {
        {{"Photo Inkjet", "Office Laser", "Office Laser 2"},
         "Office Laser,winspool,Ne01:",
         "Office Laser"},
        {{"Office Laser"}, "Office Laser", "Office Laser"},
        // The value ends at its first NUL, as in the profile's buffer.
        {{"Office Laser"}, std::string("Office Laser,winspool\0Photo Inkjet", 34), "Office Laser"},
        {{"office laser"}, "Office Laser,winspool,Ne01:", std::nullopt}, // case matters
        {{"Office Laser"}, std::nullopt, std::nullopt},
        {{}, std::nullopt, std::nullopt},
        // A missing entry reads ",,,", whose empty first field a nameless printer matches; an
        // empty entry has no fields.
        {{""}, std::nullopt, ""},
        {{""}, "", std::nullopt},
        // At most 253 characters are read; a name that ends before the cut keeps its match.
        {{longName, longName.substr(0, 253)}, longName + ",winspool", longName.substr(0, 253)},
        {{name250}, name250 + ",winspool,Ne01:", name250},
    };
    for (const auto &c : cases) {
        FakeProfile profile;
        FakeInstalledPrinters installed;
        installed.names = c.installed;
        if (c.entry)
            profile.entries["windows/device"] = *c.entry;
        EXPECT_EQ(FindDefaultPrinter(profile, installed), c.found) << c.entry.value_or("(none)");
    }
}

} // namespace
} // namespace dovrante::test
