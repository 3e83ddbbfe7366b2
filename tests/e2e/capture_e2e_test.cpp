#include "e2e_harness.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QPainter>

#include <fstream>
#include <regex>

namespace dovrante::e2e {
namespace {

bool near(QColor actual, QColor expected)
{
    return std::abs(actual.red() - expected.red()) <= 10 &&
           std::abs(actual.green() - expected.green()) <= 10 &&
           std::abs(actual.blue() - expected.blue()) <= 10;
}

size_t count(const std::string &text, const std::string &part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

class CaptureE2eTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display to test on";
    }

    std::string dataFile() const { return program.folder() + "/Dovrante Data.txt"; }

    // A picture whose first `stripe` columns are red, whose last column is blue, green between.
    std::string writePicture(int width, int height, int stripe)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::green);
        QPainter painter(&image);
        painter.fillRect(0, 0, stripe, height, Qt::red);
        painter.fillRect(width - 1, 0, 1, height, Qt::blue);
        painter.end();
        const std::string path = program.home() + "/picture.png";
        image.save(QString::fromStdString(path), "PNG");
        return path;
    }

    QImage screenWhen(const std::function<bool(const QImage &)> &ready)
    {
        QImage shot;
        waitUntil([&] {
            shot = screenshot();
            return !shot.isNull() && ready(shot);
        });
        return shot;
    }

    XClipboard clipboard;
    ProgramUnderTest program;
};

TEST_F(CaptureE2eTest, TextAtStartIsShownAndRecordedOnce)
{
    clipboard.putText("hello from the clipboard\nsecond line");
    program.start();
    ASSERT_FALSE(program.waitForWindow().empty());
    EXPECT_EQ(program.title(), "Clipboard Print with Options");

    ASSERT_TRUE(waitUntil([&] { return count(readFile(dataFile()), std::string(79, '-')) == 1; }));
    const std::string data = readFile(dataFile());
    EXPECT_NE(
        data.find("\r\n--- --- --- --- --- ---\r\nhello from the clipboard\r\nsecond line\r\n" +
                  std::string(79, '-') + "\r\n"),
        std::string::npos)
        << data;
    // The text view's white page covers the pale yellow window.
    const QImage shot =
        screenWhen([](const QImage &s) { return near(s.pixelColor(1000, 600), Qt::white); });
    EXPECT_TRUE(near(shot.pixelColor(1000, 600), Qt::white));
}

TEST_F(CaptureE2eTest, F5TakesNewTextAndRecordsIt)
{
    clipboard.putText("first clip");
    program.start();
    ASSERT_FALSE(program.waitForWindow().empty());
    ASSERT_TRUE(waitUntil([&] { return count(readFile(dataFile()), "first clip") == 1; }));

    clipboard.putText("second clip");
    program.pressKeys({"F5"});
    ASSERT_TRUE(waitUntil([&] { return count(readFile(dataFile()), "second clip") == 1; }));
    EXPECT_EQ(count(readFile(dataFile()), "--- --- --- --- --- ---"), 2u);
}

TEST_F(CaptureE2eTest, APictureAtStartIsShownAtNaturalSizeUnderTheMomentsName)
{
    clipboard.putFile(writePicture(400, 300, 20), "image/png");
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    program.start();
    ASSERT_FALSE(program.waitForWindow().empty());
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);

    const std::string title = program.title();
    ASSERT_TRUE(std::regex_match(title, std::regex(R"(\d{8} \d{6}\.jpg)"))) << title;
    const QDateTime named =
        QDateTime::fromString(QString::fromStdString(title.substr(0, 15)), "yyyyMMdd HHmmss");
    EXPECT_TRUE(named >= before.addMSecs(-before.time().msec()) && named <= after) << title;

    const QImage shot =
        screenWhen([](const QImage &s) { return near(s.pixelColor(5, 150), Qt::red); });
    EXPECT_TRUE(near(shot.pixelColor(5, 150), Qt::red));
    EXPECT_TRUE(near(shot.pixelColor(200, 150), Qt::green));
    EXPECT_TRUE(near(shot.pixelColor(399, 150), Qt::blue));
    EXPECT_FALSE(near(shot.pixelColor(401, 150), Qt::blue)) << "drawn larger than its natural size";
    EXPECT_FALSE(near(shot.pixelColor(200, 301), Qt::green));
}

TEST_F(CaptureE2eTest, TheScrollBarArrowMovesAWidePictureByAHundredth)
{
    // 2400 pixels wide: an arrow step is 24 pixels, the width of the red stripe.
    clipboard.putFile(writePicture(2400, 1400, 24), "image/png");
    program.start();
    ASSERT_FALSE(program.waitForWindow().empty());
    screenWhen([](const QImage &s) { return near(s.pixelColor(5, 300), Qt::red); });

    // The horizontal bar lies under the viewport (1030 to 1047), its right arrow at its end (1896).
    program.clickAt(1888, 1038);
    const QImage shot =
        screenWhen([](const QImage &s) { return near(s.pixelColor(5, 300), Qt::green); });
    EXPECT_TRUE(near(shot.pixelColor(5, 300), Qt::green));
}

TEST_F(CaptureE2eTest, APictureSmallerThanTheViewportMovesRightTowardsTheTracksEnd)
{
    // 400 pixels wide: an arrow step is 4 pixels, so the blue last column moves from 399 to 403.
    clipboard.putFile(writePicture(400, 300, 20), "image/png");
    program.start();
    ASSERT_FALSE(program.waitForWindow().empty());
    screenWhen([](const QImage &s) { return near(s.pixelColor(399, 150), Qt::blue); });

    program.clickAt(1888, 1038);
    const QImage shot =
        screenWhen([](const QImage &s) { return near(s.pixelColor(403, 150), Qt::blue); });
    EXPECT_TRUE(near(shot.pixelColor(403, 150), Qt::blue)) << "the picture did not move right";
}

TEST_F(CaptureE2eTest, AVeryWidePictureCanBeScrolledToItsFarEdge)
{
    // 16384 pixels wide: its overhang is far beyond the bar's 16 bits.
    clipboard.putFile(writePicture(16384, 600, 20), "image/png");
    program.start();
    ASSERT_FALSE(program.waitForWindow().empty());
    screenWhen([](const QImage &s) { return near(s.pixelColor(5, 300), Qt::red); });

    // Each click on the track's far end pages right by the viewport's width.
    for (int page = 0; page < 10; ++page)
        program.clickAt(1860, 1038);
    const QImage shot =
        screenWhen([](const QImage &s) { return near(s.pixelColor(1895, 300), Qt::blue); });
    EXPECT_TRUE(near(shot.pixelColor(1895, 300), Qt::blue)) << "the far edge is out of reach";
    EXPECT_TRUE(near(shot.pixelColor(1894, 300), Qt::green));
}

TEST_F(CaptureE2eTest, APictureThatCannotBeDecodedIsReportedAndTheTextViewStays)
{
    clipboard.putText("kept on show");
    program.start();
    ASSERT_FALSE(program.waitForWindow().empty());
    ASSERT_TRUE(waitUntil([&] { return count(readFile(dataFile()), "kept on show") == 1; }));

    const std::string broken = program.home() + "/broken.png";
    {
        std::ofstream out(broken);
        out << "these bytes are no picture";
    }
    clipboard.putFile(broken, "image/png");
    program.pressKeys({"F5"});
    const std::string said = program.closeBox("Dovrante", clipboard);
    EXPECT_NE(said.find("cannot be shown"), std::string::npos) << said;
    EXPECT_EQ(program.title(), "Clipboard Print with Options");
    const QImage shot = screenshot();
    EXPECT_TRUE(near(shot.pixelColor(1000, 600), Qt::white)) << "the text view went away";
}

TEST_F(CaptureE2eTest, AClipboardOwnerThatNeverAnswersDoesNotHangTheStart)
{
    clipboard.putText("frozen owner");
    // The owner stops answering requests for the clipboard's contents.
    clipboard.freezeOwner();
    program.start();
    // Each question to the owner gives up after a few seconds.
    const std::string window = program.waitForWindow(std::chrono::seconds(30));
    clipboard.thawOwner();
    ASSERT_FALSE(window.empty()) << "the window never appeared";
    EXPECT_EQ(program.title(), "Clipboard Print with Options");
}

TEST_F(CaptureE2eTest, AMetafileOnlyClipboardIsReportedByItsFormatNumbers)
{
    const std::string metafile = program.home() + "/clip.wmf";
    {
        std::ofstream out(metafile);
        out << "not really a metafile";
    }
    clipboard.putFile(metafile, "image/x-wmf");
    program.start();

    const std::string badFormat = program.closeBox("Dovrante", clipboard);
    EXPECT_NE(badFormat.find("\nBad format: 3\n"), std::string::npos) << badFormat;
    const std::string number = program.closeBox("GetFormat number is", clipboard);
    EXPECT_NE(number.find("\n3\n"), std::string::npos) << number;

    ASSERT_FALSE(program.waitForWindow().empty());
    EXPECT_EQ(program.title(), "Clipboard Print with Options");
}

TEST_F(CaptureE2eTest, TheEscapeCharacterEndsTheProgram)
{
    clipboard.putText("text");
    program.start();
    ASSERT_FALSE(program.waitForWindow().empty());
    program.pressKeys({"ctrl+bracketleft"});
    EXPECT_TRUE(program.waitForExit());
}

} // namespace
} // namespace dovrante::e2e
