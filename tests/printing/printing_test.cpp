#include "printing/dovrant_s.h"
#include "printing/print_support.h"
#include "support/form_fixture.h"

namespace dovrante::test {
namespace {

// The default printer "Office Laser" installed and named by the profile.
class PrintTest : public FormFixture {
protected:
    void SetUp() override
    {
        printerNames = {"Photo Inkjet", "Office Laser"};
        profile["windows/device"] = "Office Laser,winspool,Ne01:";
    }

    DovrantS statusWindow(ClipKind clipKind = ClipKind::Picture)
    {
        return DovrantS(DovrantS::Services{*this, *this, *this, *this}, clipKind);
    }
    // The window holding a clip of the kind, as a capture leaves it.
    Form1 &holding(ClipKind kind, PicturePtr picture = makePicture(20000, 10000))
    {
        Form1 &f = form();
        f.clipKind = kind;
        f.RichTextBox1.text = "Hello";
        f.Picture2.picture = std::move(picture);
        return f;
    }
};

TEST_F(PrintTest, TheStatusWindowNamesTheDefaultPrinterAndTheModeWhenLoadedOnItsFirstShow)
{
    DovrantS window = statusWindow();
    window.Show();
    printerMode = ColourMode::Monochrome;
    window.Show();
    const StatusWindowLook &look = statusLook;
    EXPECT_EQ((Place{look.labelLeft, look.labelTop, look.labelWidth, look.labelHeight}),
              (Place{120, 120, 6855, 495}));
    EXPECT_EQ(describe(look.labelFont), "MS Sans Serif 18");
    window.Unload();
    window.Show();
    // A text clip forces black and white, whatever the toggle says; the clip kind decides.
    holdPicture(makePicture(100, 100));
    form().cmdColor.caption = "Color";
    printerMode = ColourMode::FullColour;
    statusWindow(ClipKind::Text).Show();
    EXPECT_EQ(form().cmdColor.caption, "Color");
    profile["windows/device"] = "Gone Printer,winspool,Ne02:";
    statusWindow().Show();
    // Loaded once: the second show still tells the mode of the first; a picture leaves the mode.
    EXPECT_EQ(journal, (Lines{"status shown: Printing to Office Laser   (Color)",
                              "status shown: Printing to Office Laser   (Color)", "status closed",
                              "status shown: Printing to Office Laser   (B/W)", "colourMode 1",
                              "status shown: Printing to Office Laser   (B/W)",
                              "status shown: Printing to (no default printer)   (B/W)"}));
}

TEST_F(PrintTest, TextInTheViewsFontOrThePictureFittedIsPrintedThenTheProgramEnds)
{
    const Lines nothing{
        "box The last capture found neither text nor a picture: there is nothing to print."};
    const std::pair<ClipKind, Lines> cases[] = {
        {ClipKind::Text,
         {"pointer 11", "colourMode 1", "status shown: Printing to Office Laser   (B/W)",
          "font Arial Black 36 bold italic underline strikethrough", "print Hello", "endDoc",
          "pointer 0", "end"}},
        {ClipKind::Picture,
         {"pointer 11", "status shown: Printing to Office Laser   (Color)", "orientation 2",
          "paintPicture 0 0 15120 7560", "endDoc", "pointer 0", "end"}},
        // Any other kind prints nothing and says so, though a text and a picture are on show.
        {ClipKind::Nothing, nothing},
        {clipKindOfFormat(8), nothing},
    };
    // One picture throughout: a new one each time could take the freed one's address.
    const PicturePtr clip = makePicture(20000, 10000);
    for (const auto &[kind, calls] : cases) {
        journal.clear();
        printerMode = ColourMode::FullColour;
        Form1 &f = holding(kind, clip);
        f.RichTextBox1.font = FontSpec{"Arial Black", 36.0f, true, true, true, true};
        f.cmdPrint_Click();
        EXPECT_EQ(journal, calls) << clipKindText(kind);
    }
    EXPECT_EQ(painted, std::vector<const Picture *>{clip.get()}) << "the clip's own";
}

TEST_F(PrintTest, AJobThatFailsIsReportedAndTheNextOneLoadsTheStatusWindowAfresh)
{
    endDocError = "CUPS did not take the job (printer stopped)";
    holding(ClipKind::Text).cmdPrint_Click();
    // A zero-height picture cannot be fitted: nothing is drawn nor handed over.
    printerName = "";
    holding(ClipKind::Picture, makePicture(1000, 0)).cmdPrint_Click();
    // Each failure closes the status window before it is told.
    EXPECT_EQ(journal,
              (Lines{"pointer 11", "colourMode 1", "status shown: Printing to Office Laser   (B/W)",
                     "font  0", "print Hello", "endDoc", "status closed", "pointer 0",
                     "box Nothing was printed on Office Laser: CUPS did not take the job (printer "
                     "stopped) | Ok Critical Ok",
                     "pointer 11", "status shown: Printing to Office Laser   (B/W)",
                     "orientation 2", "status closed", "pointer 0",
                     "box Nothing was printed on (no default printer): the picture cannot be "
                     "fitted to the page (division by zero) | Ok Critical Ok"}));

    endDocError.clear();
    holding(ClipKind::Text).cmdPrint_Click();
    EXPECT_EQ(lines("status shown").size(), 3u);
    EXPECT_EQ(journal.back(), "end");
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
        std::string error;
    } cases[] = {
        {3, 1, 1.0, 1.0, true, 1.0, third, ""},
        {1, 3, 1.0, 1.0, false, third, 1.0, ""},
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
        const auto got = fit.ok() ? std::tuple(fit.value().fitsWidth, fit.value().width,
                                               fit.value().height, std::string())
                                  : std::tuple(false, 0.0, 0.0, fit.error());
        EXPECT_EQ(got, std::tuple(c.fitsWidth, c.width, c.height, c.error))
            << c.pictureWidth << "x" << c.pictureHeight;
    }
}

TEST(ScaleUnitsTest, OneInchInEveryUnit)
{
    const std::pair<ScaleMode, double> units[] = {
        {ScaleMode::Twips, 1440},       {ScaleMode::Points, 72},
        {ScaleMode::Pixels, 600},       {ScaleMode::Millimetres, 25.4},
        {ScaleMode::Centimetres, 2.54}, {ScaleMode::HiMetric, 2540}};
    for (const auto &[unit, inch] : units)
        EXPECT_DOUBLE_EQ(convertLength(1, ScaleMode::Inches, unit, 600), inch)
            << static_cast<int>(unit);
    EXPECT_DOUBLE_EQ(convertLength(2540, ScaleMode::HiMetric, ScaleMode::Twips, 600), 1440);
}

// PrintPictureFitted on the fake printer in each scale unit; sizes are written in twips, pages in
// portrait.
class PrintPictureFittedTest : public ::testing::TestWithParam<ScaleMode> {};

TEST_P(PrintPictureFittedTest, TurnsThePageAndFitsThePictureToIt)
{
    const struct {
        float pageWidth, pageHeight;
        int pictureWidth, pictureHeight;
        Orientation orientation;
        float width, height;
    } cases[] = {
        // Wide pictures go landscape and fill the side that runs out first, or both at 2:1.
        {11520, 15120, 20000, 10000, Orientation::Landscape, 15120, 7560},
        {7200, 14400, 20000, 10000, Orientation::Landscape, 14400, 7200},
        {6000, 14400, 20000, 10000, Orientation::Landscape, 12000, 6000},
        {11520, 15120, 5000, 5000, Orientation::Portrait, 11520, 11520},
        {11520, 15120, 1600, 2100, Orientation::Portrait, 11520, 15120},
        // Small pictures are enlarged; one of no width is drawn full height.
        {11520, 15120, 40, 20, Orientation::Landscape, 15120, 7560},
        {11520, 15120, 0, 1000, Orientation::Portrait, 0, 15120},
        // One of no height turns the page, then fails with nothing drawn.
        {11520, 15120, 1000, 0, Orientation::Landscape, -1, -1},
    };
    const double unit = FakeDesktop::twipsPerUnit(GetParam());
    for (const auto &c : cases) {
        FakeDesktop printer;
        printer.currentScaleMode = GetParam();
        printer.pageWidth = c.pageWidth;
        printer.pageHeight = c.pageHeight;
        const MaybeFailure failure =
            PrintPictureFitted(printer, *makePicture(c.pictureWidth, c.pictureHeight));
        Lines calls{"orientation " + std::to_string(static_cast<int>(c.orientation))};
        std::ostringstream painted;
        painted << "paintPicture 0 0 " << static_cast<float>(c.width / unit) << " "
                << static_cast<float>(c.height / unit);
        if (c.width >= 0)
            calls.push_back(painted.str());
        EXPECT_EQ(printer.journal, calls) << c.pictureWidth << "x" << c.pictureHeight;
        EXPECT_EQ(failure.value_or(Failure{}).description,
                  c.width < 0 ? "the picture cannot be fitted to the page (division by zero)" : "");
    }
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
        {{"Office Laser 2", "Office Laser"}, "Office Laser,winspool", "Office Laser"},
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
        FakeDesktop desktop;
        desktop.printerNames = c.installed;
        if (c.entry)
            desktop.profile["windows/device"] = *c.entry;
        EXPECT_EQ(FindDefaultPrinter(desktop, desktop), c.found) << c.entry.value_or("(none)");
    }
}

} // namespace
} // namespace dovrante::test
