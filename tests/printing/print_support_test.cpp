#include "platform/scale_units.h"
#include "printing/print_support.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

#include <string>

namespace dovrante::test {
namespace {

// 1/3 as a 4-byte float, written out as the double that holds it.
constexpr double OneThirdAsFloat = 0.3333333432674408;

// A picture (HiMetric) fitted to a page (twips): which side it fills and its size. The computed
// length is rounded to a 4-byte float, as the printer's own conversions hold it.
struct FitCase {
    const char *name;
    int pictureWidth, pictureHeight;
    double pageWidth, pageHeight;
    bool fitsWidth;
    double width, height;
};

TEST(FitPictureTest, FillsTheSideThatRunsOutFirst)
{
    const FitCase cases[] = {
        {"equal proportions", 2000, 1000, 26670.0, 13335.0, true, 26670.0, 13335.0},
        {"wide, float length", 3, 1, 1.0, 1.0, true, 1.0, OneThirdAsFloat},
        {"tall, float length", 1, 3, 1.0, 1.0, false, OneThirdAsFloat, 1.0},
        {"zero width", 0, 1000, 100.0, 200.0, false, 0.0, 200.0},
    };
    for (const FitCase &c : cases) {
        const Result<PictureFit> fit =
            fitPicture(c.pictureWidth, c.pictureHeight, c.pageWidth, c.pageHeight);
        ASSERT_TRUE(fit.ok()) << c.name;
        EXPECT_EQ(fit.value().fitsWidth, c.fitsWidth) << c.name;
        EXPECT_EQ(fit.value().width, c.width) << c.name;
        EXPECT_EQ(fit.value().height, c.height) << c.name;
    }
}

TEST(FitPictureTest, ArithmeticErrorsFailInsteadOfGivingASize)
{
    EXPECT_EQ(fitPicture(1000, 0, 100.0, 100.0).error(), "division by zero");
    EXPECT_EQ(fitPicture(0, 0, 100.0, 100.0).error(), "division by zero");
    EXPECT_EQ(fitPicture(1000, 1000, 100.0, 0.0).error(), "division by zero");
    // A zero-width picture on a zero-width page: both ratios are 0, the tie divides by 0.
    EXPECT_EQ(fitPicture(0, 1000, 0.0, 100.0).error(), "division by zero");
    // A length the printer's 4-byte conversions cannot hold.
    EXPECT_EQ(fitPicture(2, 1, 1e308, 1e300).error(), "overflow");
}

TEST(ScaleUnitsTest, OneInchInEveryUnit)
{
    const double dpi = 600;
    EXPECT_DOUBLE_EQ(convertLength(1, ScaleMode::Inches, ScaleMode::Twips, dpi), 1440);
    EXPECT_DOUBLE_EQ(convertLength(1, ScaleMode::Inches, ScaleMode::Points, dpi), 72);
    EXPECT_DOUBLE_EQ(convertLength(1, ScaleMode::Inches, ScaleMode::Pixels, dpi), 600);
    EXPECT_DOUBLE_EQ(convertLength(1, ScaleMode::Inches, ScaleMode::Millimetres, dpi), 25.4);
    EXPECT_DOUBLE_EQ(convertLength(1, ScaleMode::Inches, ScaleMode::Centimetres, dpi), 2.54);
    EXPECT_DOUBLE_EQ(convertLength(1, ScaleMode::Inches, ScaleMode::HiMetric, dpi), 2540);
    EXPECT_DOUBLE_EQ(convertLength(2540, ScaleMode::HiMetric, ScaleMode::Twips, dpi), 1440);
}

// PrintPictureFitted on the recording printer, in each scale unit. Expected sizes are written in
// twips and converted to the unit the printer works in.
class PrintPictureFittedTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { printer.currentScaleMode = GetParam(); }

    // Printable area in portrait, in twips; landscape swaps the two.
    void page(float widthTwips, float heightTwips)
    {
        printer.portraitWidthTwips = widthTwips;
        printer.portraitHeightTwips = heightTwips;
    }

    FakePrinter printer;
};

// A picture printed on a page: the orientation chosen and the one rectangle drawn, in twips.
struct PrintedFit {
    const char *name;
    float pageWidth, pageHeight; // portrait; landscape swaps them
    int pictureWidth, pictureHeight;
    int orientation;
    double width, height;
};

TEST_P(PrintPictureFittedTest, TurnsThePageAndFitsThePictureToIt)
{
    const PrintedFit cases[] = {
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
    for (const PrintedFit &c : cases) {
        printer.paints.clear();
        printer.orientation = PrinterValue::Portrait;
        page(c.pageWidth, c.pageHeight);
        const PicturePtr picture = makePicture(c.pictureWidth, c.pictureHeight);
        ASSERT_FALSE(PrintPictureFitted(printer, *picture)) << c.name;
        EXPECT_EQ(printer.orientation, c.orientation) << c.name;
        ASSERT_EQ(printer.paints.size(), 1u) << c.name;
        const FakePrinter::Paint &paint = printer.paints.front();
        EXPECT_EQ(paint.picture, picture.get()) << c.name;
        EXPECT_EQ(paint.left, 0.0) << c.name;
        EXPECT_EQ(paint.top, 0.0) << c.name;
        EXPECT_FLOAT_EQ(static_cast<float>(paint.width), static_cast<float>(c.width / unit))
            << c.name;
        EXPECT_FLOAT_EQ(static_cast<float>(paint.height), static_cast<float>(c.height / unit))
            << c.name;
    }
}

TEST_P(PrintPictureFittedTest, ZeroHeightPictureTurnsThePageThenFailsWithNothingDrawn)
{
    const PicturePtr picture = makePicture(1000, 0);
    const MaybeFailure failure = PrintPictureFitted(printer, *picture);
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
    const std::string longName(300, 'P');
    const std::string name250(250, 'Q');
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
