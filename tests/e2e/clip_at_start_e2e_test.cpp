// The clip the program finds as it starts is taken on a connection of its own, while the window
// is being built: what it shows and records must be exactly what the clipboard held.

#include "e2e_harness.h"

#include <QRandomGenerator>

#include <filesystem>
#include <fstream>
#include <regex>

namespace dovrante::e2e {
namespace {

struct TextClip {
    const char *name;
    const char *target; // the one type the owner offers
    std::string bytes;
    std::string recorded; // as it stands in the text data file
};

void PrintTo(const TextClip &clip, std::ostream *out)
{
    *out << clip.name;
}

class ClipAtStartE2eTest : public E2eTest, public ::testing::WithParamInterface<TextClip> {};

const TextClip TextClips[] = {
    {"Utf8TextIsTakenAsItIs", "UTF8_STRING",
     "Gr\xc3\xbc\xc3\x9f"
     "e, \xe4\xb8\x96\xe7\x95\x8c",
     "Gr\xc3\xbc\xc3\x9f"
     "e, \xe4\xb8\x96\xe7\x95\x8c"},
    {"Latin1StringIsRecordedAsUtf8", "STRING", "caf\xe9", "caf\xc3\xa9"},
    {"MalformedUtf8IsMendedAsQtMendsIt", "UTF8_STRING",
     "ab\xff"
     "cd",
     "ab\xef\xbf\xbd"
     "cd"},
};

TEST_P(ClipAtStartE2eTest, TextIsShownAndRecordedExactly)
{
    const TextClip &clip = GetParam();
    const std::string path = program.home() + "/clip.txt";
    std::ofstream(path, std::ios::binary) << clip.bytes;
    clipboard.putFile(path, clip.target);
    program.start();
    ASSERT_FALSE(program.waitForWindow().empty());
    const std::string data = program.dataFile();
    ASSERT_TRUE(waitUntil([&] { return readFile(data).find("-----\r\n") != std::string::npos; }));
    EXPECT_NE(readFile(data).find("--- --- ---\r\n" + clip.recorded + "\r\n---"), std::string::npos)
        << readFile(data);
}

INSTANTIATE_TEST_SUITE_P(Texts, ClipAtStartE2eTest, ::testing::ValuesIn(TextClips),
                         [](const auto &row) { return std::string(row.param.name); });

TEST(ClipAtStartPictureE2eTest, APictureTooLargeForOneAnswerComesInPartsAndIsShownWhole)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display to test on";
    XClipboard clipboard;
    ProgramUnderTest program;
    // Noise does not compress: megabytes that the owner hands over in parts.
    QImage image(1600, 1000, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, random.generate() | 0xff000000u);
    const std::string path = program.home() + "/noise.png";
    ASSERT_TRUE(image.save(QString::fromStdString(path), "PNG"));
    ASSERT_GT(std::filesystem::file_size(path), 4u << 20);
    clipboard.putFile(path, "image/png");

    program.start();
    ASSERT_FALSE(program.waitForWindow(std::chrono::seconds(20)).empty());
    EXPECT_TRUE(std::regex_match(program.title(), std::regex(R"(\d{8} \d{6}\.jpg)")))
        << program.title();
    // The last rows came too: the picture's bottom right corner is on the screen as it was.
    const QPoint corner(image.width() - 1, image.height() - 1);
    const QImage shot =
        screenWhen([&](const QImage &s) { return s.pixel(corner) == image.pixel(corner); });
    EXPECT_EQ(shot.pixel(corner), image.pixel(corner));
    EXPECT_EQ(shot.pixel(800, 500), image.pixel(800, 500));
}

TEST_F(E2eTest, ALongTextComesIntoTheViewAfterTheWindowAndIsRecordedWhole)
{
    // Over the size that is laid out after the window is shown.
    std::string text;
    for (int line = 0; text.size() < (5u << 20); ++line)
        text += "line " + std::to_string(line) + " of a long clip, with some words to fill it\n";
    text += "the last line";
    const std::string path = program.home() + "/long.txt";
    std::ofstream(path, std::ios::binary) << text;
    clipboard.putFile(path, "UTF8_STRING");

    program.start();
    ASSERT_FALSE(program.waitForWindow(std::chrono::seconds(20)).empty());
    // The text view fills with dark letters once the text is in.
    const auto letters = [](const QImage &shot) {
        int dark = 0;
        for (int y = 40; y < 900; y += 3)
            for (int x = 0; x < 1200; x += 3)
                dark += qGray(shot.pixel(x, y)) < 100;
        return dark;
    };
    EXPECT_GT(letters(screenWhen([&](const QImage &s) { return letters(s) > 500; })), 500);
    const std::string data = readFile(program.dataFile());
    EXPECT_NE(data.find("\r\nline 0 of a long clip"), std::string::npos);
    EXPECT_NE(data.find("the last line\r\n---"), std::string::npos);
}

} // namespace
} // namespace dovrante::e2e
