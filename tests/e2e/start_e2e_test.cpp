// The window at start, from what the clipboard then holds.

#include "e2e_harness.h"

#include <filesystem>
#include <fstream>

namespace dovrante::e2e {
namespace {

const QColor PaleYellow(255, 250, 200);
const QColor Pink(255, 153, 204);

// Nothing on the clipboard, or bytes offered as one type by an owner that may be frozen; and the
// boxes the program then shows, in order, by title and a part of their text.
struct Start {
    const char *name;
    const char *type;
    const char *bytes;
    bool frozen;
    std::vector<std::pair<std::string, std::string>> boxes;
    friend void PrintTo(const Start &row, std::ostream *out) { *out << row.name; }
};

class StartE2eTest : public E2eTest, public ::testing::WithParamInterface<Start> {};

TEST_P(StartE2eTest, ShowsOnlyThePaleYellowWindowAndThePinkToggle)
{
    const Start &start = GetParam();
    if (start.type)
        clipboard.put(start.bytes, start.type);
    if (start.frozen)
        XClipboard::signalOwners(SIGSTOP);
    program.start();
    for (const auto &[title, part] : start.boxes) {
        // A frozen owner is woken once the program has given up on it, so that the box's text
        // can be copied without waiting on it.
        if (start.frozen && !program.waitForWindowTitled(title).empty())
            XClipboard::signalOwners(SIGCONT);
        const std::string said = program.closeBox(title, clipboard);
        EXPECT_NE(said.find(part), std::string::npos) << said;
    }
    // Each question to a frozen owner gives up after a few seconds.
    const std::string window = program.waitForWindow();
    XClipboard::signalOwners(SIGCONT);
    ASSERT_FALSE(window.empty()) << "no window covering the screen";
    EXPECT_EQ(program.title(), "Clipboard Print with Options");
    const auto g = windowGeometry(window);
    EXPECT_EQ(std::pair(g.at("X"), g.at("Y")), std::pair(0, 0));

    const QRect pink = pixels(ScreenLayout.txtMin);
    const QImage shot =
        screenWhen([](const QImage &s) { return near(s.pixelColor(960, 700), PaleYellow); });
    EXPECT_TRUE(near(shot.pixelColor(960, 700), PaleYellow));
    // Inside the box, clear of its frame and of the "-" in its middle; left of it the window.
    EXPECT_TRUE(near(shot.pixelColor(pink.left() + 3, pink.top() + 4), Pink));
    EXPECT_TRUE(near(shot.pixelColor(pink.left() - 3, pink.center().y()), PaleYellow));
}

// Every button of the tool bar lies where the tests click it, edge for edge: a layout mistake
// of a few pixels would still let a click in the middle land.
TEST_F(StartE2eTest, TheToolBarsButtonsLieWhereThePersonSeesThem)
{
    program.start();
    ASSERT_FALSE(program.waitForWindow().empty());
    const QImage shot = screenWhen([](const QImage &s) {
        return near(s.pixelColor(pixels(ScreenLayout.cmdFont).center()), PaleYellow) == false;
    });
    const std::pair<const char *, Place> buttons[] = {
        {"Font", ScreenLayout.cmdFont},     {"P", ScreenLayout.cmdFontP},
        {"O", ScreenLayout.cmdOpen},        {"Print", ScreenLayout.cmdPrint},
        {"Color", ScreenLayout.cmdColor},   {"C", ScreenLayout.cmdCaption},
        {"Reload", ScreenLayout.cmdReload}, {"F", ScreenLayout.cmdFolders},
        {"S", ScreenLayout.cmdSave},        {"SaveAs", ScreenLayout.cmdSaveAs},
        {"T", ScreenLayout.cmdTxtData},     {"B", ScreenLayout.cmdBmpData},
        {"Ideas", ScreenLayout.cmdIdeas},   {"pink box", ScreenLayout.txtMin}};
    // Along a row just inside the buttons' top edge, above their captions: each button's face
    // runs from its left edge to its right, and the window shows between them.
    const int y = pixels(ScreenLayout.cmdPrint).top() + 3;
    const auto window = [&](int x) { return near(shot.pixelColor(x, y), PaleYellow); };
    int rightOfLast = pixels(ScreenLayout.cmdFont).left() - 20;
    for (const auto &[name, place] : buttons) {
        const QRect r = pixels(place);
        for (int x = r.left() + 1; x < r.right(); ++x)
            EXPECT_FALSE(window(x)) << name << " does not cover x " << x;
        for (int x = rightOfLast; x < r.left() - 1; ++x)
            EXPECT_TRUE(window(x)) << "something left of " << name << " at x " << x;
        rightOfLast = r.right() + 2;
    }
}

const Start Starts[] = {
    {"EmptyClipboard", nullptr, "", false, {}},
    {"OwnerThatNeverAnswers",
     "UTF8_STRING",
     "frozen owner",
     true,
     {{"Dovrante", "The clipboard's owner did not answer"}}},
    {"MetafileOnlyReportedByItsFormatNumber",
     "image/x-wmf",
     "not really a metafile",
     false,
     {{"Dovrante", "\nBad format: 3\n"}, {"GetFormat number is", "\n3\n"}}},
};

INSTANTIATE_TEST_SUITE_P(Starts, StartE2eTest, ::testing::ValuesIn(Starts), RowName);

// The text found at start is taken on a connection of its own while the window is being built:
// what it shows and records must be exactly what the clipboard held.
struct TextClip {
    const char *name;
    const char *target; // the one type the owner offers
    std::string bytes;
    std::string recorded; // as it stands in the text data file
    friend void PrintTo(const TextClip &row, std::ostream *out) { *out << row.name; }
};

// Longer than a text the view lays out before the window is shown.
std::string longText(const std::string &newline, int lines = 110000)
{
    std::string text;
    for (int line = 0; line < lines; ++line)
        text += "line " + std::to_string(line) + " of a long clip, with some words to fill it" +
                newline;
    return text + "the last line";
}

// Dark pixels of letters on the text view's page.
int letters(const QImage &shot)
{
    int dark = 0;
    for (int y = 0; y < 900; y += 4)
        for (int x = 0; x < 1200; x += 4)
            dark += qGray(shot.pixel(x, y)) < 100;
    return dark;
}

// A text that takes seconds to lay out comes after the window: the window is painted first, with
// the text view's empty page, and not left black until the text is in.
using LongTextE2eTest = E2eTest;

TEST_F(LongTextE2eTest, ComesAfterThePaintedWindow)
{
    startWith(longText("\n", 800000));
    const auto painted = [](const QImage &s) { return near(s.pixelColor(1700, 900), PaleYellow); };
    const QImage first = screenWhen(painted);
    ASSERT_TRUE(painted(first)) << "the window was never painted";
    EXPECT_TRUE(near(first.pixelColor(600, 450), Qt::white));
    EXPECT_EQ(letters(first), 0) << "the window came no sooner than the text";
    // Laying out 800000 lines takes about ten seconds on a loaded machine.
    EXPECT_GT(letters(screenWhen(letters)), 0);
}

class TextAtStartE2eTest : public E2eTest, public ::testing::WithParamInterface<TextClip> {};

TEST_P(TextAtStartE2eTest, IsShownAndRecordedOnceExactly)
{
    const TextClip &clip = GetParam();
    startWith(clip.bytes, clip.target);
    EXPECT_EQ(program.title(), "Clipboard Print with Options");
    const std::string rule(79, '-');
    ASSERT_TRUE(waitUntil([&] { return count(readFile(program.dataFile()), rule) == 1; }));
    const std::string data = readFile(program.dataFile());
    EXPECT_NE(data.find("\r\n--- --- --- --- --- ---\r\n" + clip.recorded + "\r\n" + rule + "\r\n"),
              std::string::npos)
        << data.substr(0, 300);
    // A picture that cannot be decoded is reported, and the text view stays.
    clipboard.put("these bytes are no picture", "image/png");
    program.pressKeys({"F5"});
    const std::string said = program.closeBox("Dovrante", clipboard);
    EXPECT_NE(said.find("cannot be shown"), std::string::npos) << said;
    EXPECT_EQ(program.title(), "Clipboard Print with Options");

    // The view is still on show with the clip itself: selected and copied there as a person would
    // (the click that gives the view the focus folds the tool bar away, which matters not here).
    std::string shown = clip.recorded;
    std::erase(shown, '\r');
    program.click(ScreenLayout.RichTextBox1);
    clipboard.clear();
    program.pressKeys({"ctrl+a", "ctrl+c"});
    EXPECT_TRUE(waitUntil([&] { return clipboard.read() == shown; }))
        << "the view shows another text";
}

const TextClip TextClips[] = {
    {"Utf8AsItIs", "UTF8_STRING", "Grüße, 世界\nline 2", "Grüße, 世界\r\nline 2"},
    // Each kind of text, as it is recorded, is the clip kinds' table's to check.
    {"LongTextComingAfterTheWindow", "UTF8_STRING", longText("\n"), longText("\r\n")},
};

INSTANTIATE_TEST_SUITE_P(Texts, TextAtStartE2eTest, ::testing::ValuesIn(TextClips), RowName);

// An authority file holding one cookie for every display: no address, no display number.
std::string authorityFile(const std::string &cookie)
{
    std::string entry("\xff\xff", 2); // the family that matches any address
    for (const std::string &field :
         {std::string(), std::string(), std::string("MIT-MAGIC-COOKIE-1"), cookie})
        entry += std::string{char(field.size() >> 8), char(field.size() & 0xff)} + field;
    return entry;
}

// A server that asks for a cookie, which the program's two connections (the clip's and the
// window's) both find in the file of the home folder, as nothing names another. A server that lets
// in anyone would make this pass: a start without the cookie must be refused.
TEST(AuthorityE2eTest, BothConnectionsShowTheCookieOfTheHomeFolder)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display";
    const QTemporaryDir folder("/tmp/dovrante-e2e-XXXXXX");
    const std::string authority = folder.filePath("authority").toStdString();
    std::ofstream(authority, std::ios::binary) << authorityFile("sixteen bytes ..");
    const OwnDisplay display(authority);
    ASSERT_TRUE(display.ok()) << "no display of its own";
    XClipboard clipboard;
    clipboard.put("taken past the cookie");

    for (const bool withCookie : {false, true}) {
        ProgramUnderTest program;
        program.setEnvironment("XAUTHORITY", std::nullopt);
        if (withCookie)
            std::filesystem::copy_file(authority, program.home() + "/.Xauthority");
        program.start();
        if (!withCookie) {
            EXPECT_TRUE(program.waitForExit()) << "let in without the cookie";
            continue;
        }
        EXPECT_FALSE(program.waitForWindow().empty()) << "refused with the cookie";
        EXPECT_TRUE(waitUntil([&] {
            return readFile(program.dataFile()).find("taken past the cookie") != std::string::npos;
        }));
    }
}

} // namespace
} // namespace dovrante::e2e
