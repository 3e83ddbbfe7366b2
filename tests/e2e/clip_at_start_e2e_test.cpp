// The text the program finds as it starts is taken on a connection of its own while the window is
// being built: what it shows and records must be exactly what the clipboard held.

#include "e2e_harness.h"

#include <fstream>

namespace dovrante::e2e {
namespace {

struct TextClip {
    const char *name;
    const char *target; // the one type the owner offers
    std::string bytes;
    std::string recorded; // as it stands in the text data file
    friend void PrintTo(const TextClip &row, std::ostream *out) { *out << row.name; }
};

// Longer than a text the view lays out before the window is shown.
std::string longText(const std::string &newline)
{
    std::string text;
    for (int line = 0; line < 110000; ++line)
        text += "line " + std::to_string(line) + " of a long clip, with some words to fill it" +
                newline;
    return text + "the last line";
}

// Dark pixels of letters on the text view's page.
int letters(const QImage &shot)
{
    int dark = 0;
    for (int y = 0; y < 900; y += 2)
        for (int x = 0; x < 1200; x += 2)
            dark += qGray(shot.pixel(x, y)) < 100;
    return dark;
}

class TextAtStartE2eTest : public E2eTest, public ::testing::WithParamInterface<TextClip> {};

TEST_P(TextAtStartE2eTest, IsShownAndRecordedOnceExactly)
{
    const TextClip &clip = GetParam();
    const std::string path = program.home() + "/clip.txt";
    std::ofstream(path, std::ios::binary) << clip.bytes;
    clipboard.putFile(path, clip.target);
    program.start();
    ASSERT_FALSE(program.waitForWindow(std::chrono::seconds(20)).empty());
    EXPECT_EQ(program.title(), "Clipboard Print with Options");
    const std::string rule(79, '-');
    ASSERT_TRUE(waitUntil([&] { return count(readFile(program.dataFile()), rule) == 1; }));
    const std::string data = readFile(program.dataFile());
    EXPECT_NE(data.find("\r\n--- --- --- --- --- ---\r\n" + clip.recorded + "\r\n" + rule + "\r\n"),
              std::string::npos)
        << data.substr(0, 300);
    // The text view's white page covers the pale yellow window, with the text on it.
    const QImage shot = screenWhen(
        [](const QImage &s) { return near(s.pixelColor(1000, 600), Qt::white) && letters(s); });
    EXPECT_TRUE(near(shot.pixelColor(1000, 600), Qt::white));
    EXPECT_GT(letters(shot), 0);

    // A picture that cannot be decoded is reported, and the text view stays.
    std::ofstream(program.home() + "/broken.png") << "these bytes are no picture";
    clipboard.putFile(program.home() + "/broken.png", "image/png");
    program.pressKeys({"F5"});
    const std::string said = program.closeBox("Dovrante", clipboard);
    EXPECT_NE(said.find("cannot be shown"), std::string::npos) << said;
    EXPECT_EQ(program.title(), "Clipboard Print with Options");
    EXPECT_GT(letters(screenshot()), 0) << "the text view went away";
}

const TextClip TextClips[] = {
    {"Utf8AsItIs", "UTF8_STRING", "Grüße, 世界\nline 2", "Grüße, 世界\r\nline 2"},
    {"Latin1StringAsUtf8", "STRING", "caf\xe9", "café"},
    {"MalformedUtf8MendedAsQtMendsIt", "UTF8_STRING", "ab\377cd", "ab\uFFFDcd"},
    {"LongTextComingAfterTheWindow", "UTF8_STRING", longText("\n"), longText("\r\n")},
};

INSTANTIATE_TEST_SUITE_P(Texts, TextAtStartE2eTest, ::testing::ValuesIn(TextClips), RowName);

} // namespace
} // namespace dovrante::e2e
