#include "e2e_harness.h"

#include <QPainter>

#include <filesystem>
#include <set>
#include <sstream>

namespace dovrante::e2e {
namespace {

namespace fs = std::filesystem;

// Where the default queue's PDFs land: the test scheduler's folder (scripts/start-cups.sh).
std::string pdfFolder()
{
    const char *folder = std::getenv("DOVRANTE_PDF_DIR");
    return folder ? folder : "";
}

std::set<std::string> pdfsNow()
{
    std::set<std::string> files;
    std::error_code ignored;
    for (const auto &entry : fs::directory_iterator(pdfFolder(), ignored))
        if (entry.path().extension() == ".pdf")
            files.insert(entry.path().string());
    return files;
}

bool isRed(QColor c)
{
    return c.red() > 180 && c.green() < 90 && c.blue() < 90;
}

bool isGreen(QColor c)
{
    return c.green() > 150 && c.red() < 90 && c.blue() < 90;
}

bool isPaper(QColor c)
{
    return c.red() > 240 && c.green() > 240 && c.blue() > 240;
}

// The part of the sheet that is not bare paper.
QRect inkBounds(const QImage &page)
{
    QRect bounds;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (!isPaper(page.pixelColor(x, y)))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

class PrintingE2eTest : public E2eTest {
protected:
    void SetUp() override
    {
        E2eTest::SetUp();
        ASSERT_FALSE(pdfFolder().empty() || !std::getenv("CUPS_SERVER"))
            << "no test scheduler: run the tests with scripts/test.sh, which starts one";
        ASSERT_EQ(run({"lpstat", "-v", "Dovrante-PDF"}).exitCode, 0)
            << "no Dovrante-PDF queue on the test scheduler";
        m_before = pdfsNow();
    }

    // A picture whose first eighth along its long side is red and the rest green.
    void startWithPicture(int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::green);
        QPainter painter(&image);
        if (width > height)
            painter.fillRect(0, 0, width / 8, height, Qt::red);
        else
            painter.fillRect(0, 0, width, height / 8, Qt::red);
        painter.end();
        startWith(image);
    }

    // Prints the clip, as the buttons given press it, and waits for the job's PDF and the end.
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
        waitUntil(
            [&] {
                for (const std::string &file : pdfsNow())
                    if (!m_before.count(file) && run({"pdfinfo", file}).exitCode == 0) {
                        made = file;
                        return true;
                    }
                return false;
            },
            std::chrono::seconds(60));
        return made;
    }

    int pageCount(const std::string &pdf)
    {
        std::istringstream lines(run({"pdfinfo", pdf}).output);
        std::string line;
        while (std::getline(lines, line))
            if (line.rfind("Pages:", 0) == 0)
                return std::atoi(line.c_str() + 6);
        return 0;
    }

    // One page rendered at 36 dots per inch.
    QImage render(const std::string &pdf, int page = 1)
    {
        const std::string prefix = program.home() + "/page";
        run({"pdftocairo", "-png", "-r", "36", "-singlefile", "-f", std::to_string(page), "-l",
             std::to_string(page), pdf, prefix});
        return QImage(QString::fromStdString(prefix + ".png"));
    }

private:
    std::set<std::string> m_before;
};

TEST_F(PrintingE2eTest, AWidePictureComesOutTurnedAndFillsTheLandscapeWidth)
{
    startWithPicture(800, 400);
    const std::string pdf = print();
    ASSERT_FALSE(pdf.empty());

    const QImage page = render(pdf);
    ASSERT_FALSE(page.isNull());
    const QRect ink = inkBounds(page);
    // The landscape page is as long as the sheet; the picture spans that length, half as deep.
    const int sheetLong = std::max(page.width(), page.height());
    const bool alongHeight = ink.height() >= ink.width();
    const int inkLong = alongHeight ? ink.height() : ink.width();
    const int inkShort = alongHeight ? ink.width() : ink.height();
    EXPECT_GE(inkLong, sheetLong * 99 / 100) << "ink " << ink.width() << "x" << ink.height();
    EXPECT_NEAR(inkShort, inkLong / 2.0, sheetLong * 0.03);
    // The red eighth lies at one end of the long side: the picture is turned, not squeezed.
    const QPoint centre = ink.center();
    const QPoint nearEnd = alongHeight ? QPoint(centre.x(), ink.top() + inkLong / 20)
                                       : QPoint(ink.left() + inkLong / 20, centre.y());
    const QPoint farEnd = alongHeight ? QPoint(centre.x(), ink.bottom() - inkLong / 20)
                                      : QPoint(ink.right() - inkLong / 20, centre.y());
    EXPECT_TRUE(isRed(page.pixelColor(nearEnd)) != isRed(page.pixelColor(farEnd)));
    EXPECT_TRUE(isGreen(page.pixelColor(centre)));
}

TEST_F(PrintingE2eTest, ATallPictureComesOutPortraitFromTheTopLeftCorner)
{
    startWithPicture(400, 800);
    const std::string pdf = print();
    ASSERT_FALSE(pdf.empty());

    const QImage page = render(pdf);
    ASSERT_FALSE(page.isNull());
    ASSERT_GT(page.height(), page.width()) << "a portrait sheet";
    const QRect ink = inkBounds(page);
    EXPECT_GE(ink.height(), page.height() * 99 / 100);
    EXPECT_NEAR(ink.width(), ink.height() / 2.0, page.height() * 0.03);
    EXPECT_LE(ink.left(), 1);
    EXPECT_LE(ink.top(), 1);
    EXPECT_TRUE(isRed(page.pixelColor(ink.center().x(), ink.top() + ink.height() / 20)));
    EXPECT_TRUE(isGreen(page.pixelColor(ink.center().x(), ink.bottom() - ink.height() / 20)));
}

TEST_F(PrintingE2eTest, AfterTheToggleReadsBlackAndWhiteEnterPrintsAGreyPage)
{
    startWithPicture(400, 800);
    program.click(ScreenLayout.cmdColor);
    // The toggle leaves the focus on the print button.
    const std::string pdf = print({"Return"});
    ASSERT_FALSE(pdf.empty());

    const QImage page = render(pdf);
    ASSERT_FALSE(page.isNull());
    ASSERT_FALSE(inkBounds(page).isEmpty()) << "a blank page";
    int coloured = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (std::max({c.red(), c.green(), c.blue()}) -
                    std::min({c.red(), c.green(), c.blue()}) >
                4)
                ++coloured;
        }
    EXPECT_EQ(coloured, 0);
}

TEST_F(PrintingE2eTest, TextPrintsInTheFaceAndSizeOfTheTextView)
{
    startWith("Dovrante prints this line");
    const std::string pdf = print();
    ASSERT_FALSE(pdf.empty());

    EXPECT_NE(run({"pdftotext", pdf, "-"}).output.find("Dovrante prints this line"),
              std::string::npos);
    // The view's Courier, as the desktop's font matching resolves it ("Nimbus Mono PS" and so on).
    std::string face = run({"fc-match", "-f", "%{family[0]}", "Courier"}).output;
    std::erase(face, ' ');
    const std::string fonts = run({"pdffonts", pdf}).output;
    EXPECT_NE(fonts.find(face), std::string::npos) << face << " not in\n" << fonts;

    // 10 points: Courier's letters advance 0.6 of the size, so "Dovrante" is 8 x 6 points wide.
    const std::string boxes = run({"pdftotext", "-bbox", pdf, "-"}).output;
    const auto word = boxes.find(">Dovrante<");
    ASSERT_NE(word, std::string::npos) << boxes;
    const auto tagStart = boxes.rfind("<word", word);
    const std::string tag = boxes.substr(tagStart, word - tagStart);
    const auto number = [&tag](const std::string &name) {
        const auto at = tag.find(name + "=\"");
        return at == std::string::npos ? 0.0 : std::atof(tag.c_str() + at + name.size() + 2);
    };
    EXPECT_NEAR((number("xMax") - number("xMin")) / (8 * 0.6), 10.0, 0.3) << tag;
}

TEST_F(PrintingE2eTest, LongTextGoesOnOverSeveralPagesAndWideLinesWrap)
{
    std::string text;
    for (int line = 1; line <= 200; ++line) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "Line %03d of the long text\n", line);
        text += buffer;
        if (line == 5)
            text += std::string(150, 'W') + " wrapped-end\n";
    }
    startWith(text);
    const std::string pdf = print();
    ASSERT_FALSE(pdf.empty());

    // About 70 lines of 10-point text fit on an A4 page.
    EXPECT_GE(pageCount(pdf), 3);
    const std::string printed = run({"pdftotext", pdf, "-"}).output;
    for (const char *part : {"Line 001 of", "Line 100 of", "Line 200 of", "wrapped-end"})
        EXPECT_NE(printed.find(part), std::string::npos) << part;
}

TEST_F(PrintingE2eTest, TheStatusWindowIsPaintedInTheMiddleOfTheScreenWhileTheJobIsMade)
{
    // A large picture keeps the job in the making for a moment.
    QImage image(7000, 7000, QImage::Format_RGB32);
    image.fill(Qt::green);
    startWith(image);
    program.click(ScreenLayout.cmdPrint);

    std::string window;
    waitUntil(
        [&] {
            std::istringstream found(run({"xdotool", "search", "--onlyvisible", "--name",
                                          "^Dovrante - RVMK Clipboard Print Utility$"})
                                         .output);
            return static_cast<bool>(std::getline(found, window)) && !window.empty();
        },
        // CUPS is asked first, and may still be busy with an earlier test's job.
        std::chrono::seconds(20));
    ASSERT_FALSE(window.empty()) << "no status window appeared";
    // 7170 x 840 twips is 478 x 56 pixels, light yellow. The window is centred on the screen with
    // whatever frame the window manager gives it, so its inside lies a title bar's height lower.
    std::map<std::string, int> g = windowGeometry(window);
    const QImage shot = screenshot();
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(g["WIDTH"], 478);
    EXPECT_EQ(g["HEIGHT"], 56);
    EXPECT_NEAR(g["X"] + g["WIDTH"] / 2, 960, 8);
    EXPECT_NEAR(g["Y"] + g["HEIGHT"] / 2, 540, 40);
    const QRect inside(g["X"], g["Y"], g["WIDTH"], g["HEIGHT"]);
    const QColor colour = shot.pixelColor(inside.center() + QPoint(200, -8));
    EXPECT_EQ(colour, QColor(255, 255, 192)) << colour.name().toStdString();
    EXPECT_EQ(shot.pixelColor(inside.center() + QPoint(0, 40)), QColor(Qt::green)) << "too tall";
    EXPECT_EQ(shot.pixelColor(inside.center() + QPoint(250, 0)), QColor(Qt::green)) << "too wide";
    // The status line is written on it.
    int ink = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            ink += shot.pixelColor(x, y).lightness() < 100;
    EXPECT_GT(ink, 200);

    EXPECT_FALSE(waitForPdf().empty());
    EXPECT_TRUE(program.waitForExit(std::chrono::seconds(30)));
}

// A job that cannot be made: the reason is told, the status window closed, the program goes on.
struct Refusal {
    const char *name;
    std::string variable, value; // the environment entry that makes it fail; the value in HOME
    std::vector<std::string> says;
};

void PrintTo(const Refusal &refusal, std::ostream *out)
{
    *out << refusal.name;
}

class RefusedPrintE2eTest : public PrintingE2eTest,
                            public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusedPrintE2eTest, IsReportedAndTheProgramGoesOn)
{
    const Refusal &r = GetParam();
    program.setEnvironment(r.variable,
                           r.value.starts_with("/") ? program.home() + r.value : r.value);
    startWithPicture(400, 800);
    program.click(ScreenLayout.cmdPrint);
    const std::string box = program.waitForWindowTitled("Dovrante");
    ASSERT_FALSE(box.empty()) << "no message appeared";
    const std::string message = program.messageBoxText(box, clipboard);
    for (const std::string &part : r.says)
        EXPECT_NE(message.find(part), std::string::npos) << message;
    EXPECT_TRUE(
        run({"xdotool", "search", "--onlyvisible", "--name", "^Dovrante - RVMK"}).output.empty())
        << "the status window is still open";
    program.pressKeysIn(box, {"Return"});
    EXPECT_TRUE(waitUntil([&] { return program.waitForWindowTitled("Dovrante", {}).empty(); }));
    EXPECT_TRUE(program.running());
}

const Refusal Refusals[] = {
    {"NoScheduler", "CUPS_SERVER", "/no-cups.sock", {"(no default printer)", "cannot be reached"}},
    {"QueueNotAccepting",
     "LPDEST",
     "Dovrante-Refusing",
     {"Dovrante-Refusing", "not accepting jobs"}},
};

INSTANTIATE_TEST_SUITE_P(Refusals, RefusedPrintE2eTest, ::testing::ValuesIn(Refusals),
                         [](const auto &row) { return std::string(row.param.name); });

} // namespace
} // namespace dovrante::e2e
