#include "e2e_harness.h"

#include <filesystem>
#include <regex>
#include <set>

namespace dovrante::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The PDFs in the test scheduler's folder for the default queue (scripts/start-cups.sh).
std::set<std::string> pdfsNow()
{
    std::set<std::string> files;
    std::error_code ignored;
    for (const auto &entry : fs::directory_iterator(std::getenv("DOVRANTE_PDF_DIR"), ignored))
        if (entry.path().extension() == ".pdf")
            files.insert(entry.path().string());
    return files;
}

const auto isRed = [](QColor c) { return c.red() > 180 && c.green() < 90 && c.blue() < 90; };
const auto isGreen = [](QColor c) { return c.green() > 150 && c.red() < 90 && c.blue() < 90; };

// The part of the sheet that is not bare paper, and how many of its pixels are not grey.
struct Ink {
    QRect bounds;
    int coloured = 0;
};

Ink inkOn(const QImage &page)
{
    Ink ink;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            const auto [low, high] = std::minmax({c.red(), c.green(), c.blue()});
            if (low <= 240)
                ink.bounds |= QRect(x, y, 1, 1);
            ink.coloured += high - low > 4;
        }
    return ink;
}

class PrintingE2eTest : public E2eTest {
protected:
    void SetUp() override
    {
        E2eTest::SetUp();
        ASSERT_TRUE(std::getenv("DOVRANTE_PDF_DIR") && std::getenv("CUPS_SERVER"))
            << "no test scheduler: run the tests with scripts/test.sh, which starts one";
        ASSERT_EQ(run({"lpstat", "-v", "Dovrante-PDF"}).exitCode, 0)
            << "no Dovrante-PDF queue on the test scheduler";
        m_before = pdfsNow();
    }

    // Prints the clip, as the keys given or else the button press it, and waits for the job's PDF
    // and the program's end.
    std::string print(const std::vector<std::string> &keys = {})
    {
        if (keys.empty())
            program.click(ScreenLayout.cmdPrint);
        else
            program.pressKeys(keys);
        const std::string pdf = waitForPdf();
        EXPECT_FALSE(pdf.empty()) << "no PDF came out of CUPS";
        EXPECT_TRUE(program.waitForExit()) << "the program still runs after the job";
        return pdf;
    }

    // The PDF that CUPS made of the job, once it is complete.
    std::string waitForPdf()
    {
        std::string made;
        waitUntil([&] {
            for (const std::string &file : pdfsNow())
                if (!m_before.count(file) && run({"pdfinfo", file}).exitCode == 0)
                    made = file;
            return !made.empty();
        });
        return made;
    }

    QImage render(const std::string &pdf)
    {
        const std::string bytes =
            run({"pdftocairo", "-png", "-r", "36", "-singlefile", pdf, "-"}).output;
        return QImage::fromData(QByteArray::fromStdString(bytes), "PNG");
    }

private:
    std::set<std::string> m_before;
};

// A picture whose first eighth along its long side is red and the rest green; printed in black
// and white after the toggle, which leaves the focus on the print button for Enter.
struct Sheet {
    const char *name;
    int width, height;
    bool blackAndWhite;
    friend void PrintTo(const Sheet &row, std::ostream *out) { *out << row.name; }
};

class PicturePrintE2eTest : public PrintingE2eTest, public ::testing::WithParamInterface<Sheet> {};

// The page, as long as the sheet, has the picture along that length and half as deep, turned and
// not squeezed; a tall one lies in the top left corner of a portrait sheet.
TEST_P(PicturePrintE2eTest, FillsTheSheetTurnedToMatch)
{
    const auto [name, width, height, blackAndWhite] = GetParam();
    const QRect eighth =
        width > height ? QRect(0, 0, width / 8, height) : QRect(0, 0, width, height / 8);
    startWith(painted(width, height, Qt::green, {{eighth, Qt::red}}));
    if (blackAndWhite)
        program.click(ScreenLayout.cmdColor);
    const QImage page = render(blackAndWhite ? print({"Return"}) : print());
    ASSERT_FALSE(page.isNull());
    const auto [ink, coloured] = inkOn(page);
    const int sheetLong = std::max(page.width(), page.height());
    EXPECT_GE(std::max(ink.width(), ink.height()), sheetLong * 99 / 100)
        << "ink " << ink.width() << "x" << ink.height();
    EXPECT_NEAR(std::min(ink.width(), ink.height()), sheetLong / 2.0, sheetLong * 0.03);
    if (blackAndWhite) {
        EXPECT_EQ(coloured, 0);
        return;
    }
    const bool alongHeight = ink.height() >= ink.width();
    const QPoint step = (alongHeight ? QPoint(0, ink.height()) : QPoint(ink.width(), 0)) * 9 / 20;
    EXPECT_NE(isRed(page.pixelColor(ink.center() - step)),
              isRed(page.pixelColor(ink.center() + step)));
    EXPECT_TRUE(isGreen(page.pixelColor(ink.center())));
    if (height > width) {
        EXPECT_GT(page.height(), page.width()) << "a portrait sheet";
        EXPECT_LE(std::max(ink.left(), ink.top()), 1);
        EXPECT_TRUE(isRed(page.pixelColor(ink.center() - step)));
    }
}

const Sheet Sheets[] = {
    {"WideComesOutLandscape", 800, 400, false},
    {"TallComesOutPortraitFromTheTopLeft", 400, 800, false},
    {"BlackAndWhiteComesOutGrey", 400, 800, true},
};

INSTANTIATE_TEST_SUITE_P(Sheets, PicturePrintE2eTest, ::testing::ValuesIn(Sheets), RowName);

// Long text goes on over several pages, wide lines wrap, in the face and size of the text view.
TEST_F(PrintingE2eTest, TextPrintsInTheTextViewsFaceOverSeveralPages)
{
    std::string text = "Dovrante prints this line\n";
    for (int line = 1; line <= 200; ++line) {
        text += QString::asprintf("Line %03d of the long text\n", line).toStdString();
        if (line == 5)
            text += std::string(150, 'W') + " wrapped-end\n";
    }
    startWith(text);
    const std::string pdf = print();
    ASSERT_FALSE(pdf.empty());
    const std::string printed = run({"pdftotext", pdf, "-"}).output;
    // About 70 lines of 10-point text fit on an A4 page; each page ends in a form feed.
    EXPECT_GE(count(printed, "\f"), 3u);
    for (const char *part :
         {"Dovrante prints this line", "Line 001 of", "Line 100 of", "Line 200 of", "wrapped-end"})
        EXPECT_NE(printed.find(part), std::string::npos) << part;

    // The view's Courier, as the desktop's font matching resolves it ("Nimbus Mono PS" and so on).
    std::string face = run({"fc-match", "-f", "%{family[0]}", "Courier"}).output;
    std::erase(face, ' ');
    const std::string fonts = run({"pdffonts", pdf}).output;
    EXPECT_NE(fonts.find(face), std::string::npos) << face << " not in\n" << fonts;
    // 10 points: Courier's letters advance 0.6 of the size, so "Dovrante" is 8 x 6 points wide.
    const std::string boxes = run({"pdftotext", "-bbox", pdf, "-"}).output;
    std::smatch word;
    const std::regex tag(R"re(xMin="([\d.]+)"[^>]*xMax="([\d.]+)"[^>]*>Dovrante<)re");
    ASSERT_TRUE(std::regex_search(boxes, word, tag)) << boxes.substr(0, 2000);
    EXPECT_NEAR((std::stod(word[2]) - std::stod(word[1])) / (8 * 0.6), 10.0, 0.3) << word[0];
}

// One line of 6 MB without a space, hundreds of pages, is laid out in seconds and handed over: it
// may wrap at any character, and Qt looks for a word boundary to the end of its paragraph for each
// printed line. (Ghostscript behind the test queue takes minutes over so many pages: the job is
// cancelled, not read.)
TEST_F(PrintingE2eTest, OneLongLineIsHandedOverInSeconds)
{
    startWith(std::string(6'000'000, 'w'));
    program.click(ScreenLayout.cmdPrint);
    EXPECT_TRUE(program.waitForExit()) << "the job was not handed over";
    EXPECT_TRUE(program.waitForWindowTitled("Dovrante", 0ms).empty()) << "a message came";
    run({"cancel", "-a", "Dovrante-PDF"});
}

TEST_F(PrintingE2eTest, TheStatusWindowIsPaintedInTheMiddleOfTheScreenWhileTheJobIsMade)
{
    // A large picture keeps the job in the making for a moment.
    startWith(painted(7000, 7000, Qt::green));
    program.click(ScreenLayout.cmdPrint);
    // CUPS is asked first, and may still be busy with an earlier test's job.
    const std::string window = waitForWindowNamed("^Dovrante - RVMK Clipboard Print Utility$");
    ASSERT_FALSE(window.empty()) << "no status window appeared";
    // 7170 x 840 twips is 478 x 56 pixels, light yellow. The window is centred on the screen with
    // whatever frame the window manager gives it, so its inside lies a title bar's height lower.
    std::map<std::string, int> g = windowGeometry(window);
    EXPECT_EQ(g["WIDTH"], 478);
    EXPECT_EQ(g["HEIGHT"], 56);
    EXPECT_NEAR(g["X"] + g["WIDTH"] / 2, 960, 8);
    EXPECT_NEAR(g["Y"] + g["HEIGHT"] / 2, 540, 40);
    // Painted before the job holds the program, and not blank under its frame until the end.
    const QRect inside(g["X"], g["Y"], g["WIDTH"], g["HEIGHT"]);
    const QPoint clear = inside.center() + QPoint(200, -8);
    const QColor LightYellow(255, 255, 192);
    const QImage shot =
        screenWhen([&](const QImage &s) { return s.pixelColor(clear) == LightYellow; });
    EXPECT_EQ(shot.pixelColor(clear), LightYellow);
    // The status line is written on it.
    int ink = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            ink += shot.pixelColor(x, y).lightness() < 100;
    EXPECT_GT(ink, 200);

    EXPECT_FALSE(waitForPdf().empty());
    EXPECT_TRUE(program.waitForExit());
}

} // namespace
} // namespace dovrante::e2e
