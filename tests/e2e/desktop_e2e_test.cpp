// The program on the Linux desktop as it is: the focus where a person expects it, with or without
// a window manager.

#include "e2e_harness.h"

#include <regex>

namespace dovrante::e2e {
namespace {

// On a display of its own with no window manager, where nobody hands the focus back.
TEST(FocusWithoutWindowManagerE2eTest, ReturnsToTheWindowWhenAMessageBoxCloses)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display";
    const OwnDisplay display;
    ASSERT_TRUE(display.ok()) << "no display of its own";
    ProgramUnderTest program;
    program.start();
    const std::string window = program.waitForWindow(60s);
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(waitUntil([&] { return focusedWindow() == window; }, 60s));
    // A click on the bare window shows its caption in a box.
    program.clickAt(600, 500);
    const std::string box = program.waitForWindowTitled("Dovrante", 60s);
    ASSERT_FALSE(box.empty()) << "no message box";
    program.pressKeysIn(box, {"Return"});
    EXPECT_TRUE(waitUntil([&] { return focusedWindow() == window; }, 60s))
        << "the window did not take the focus back";
    run({"xdotool", "key", "Escape"});
    EXPECT_TRUE(program.waitForExit(60s));
}

// A JPEG file copied in a file manager: its location as a file: URL, as text or as a uri-list.
struct CopiedFile {
    const char *name;
    const char *type;
    const char *before, *after; // around the URL
};

class CopiedFileE2eTest : public E2eTest, public ::testing::WithParamInterface<CopiedFile> {};

TEST_P(CopiedFileE2eTest, ShowsThatFilesPictureUnderItsPath)
{
    const std::string photo = program.home() + "/my pics/photo 1%.jpg";
    std::filesystem::create_directories(program.home() + "/my pics");
    ASSERT_TRUE(painted(64, 48, Qt::darkGreen).save(QString::fromStdString(photo), "JPG"));
    const CopiedFile &row = GetParam();
    startWith(std::string(row.before) + "file://" + program.home() + "/my%20pics/photo%201%25.jpg" +
                  row.after,
              row.type);
    EXPECT_TRUE(waitUntil([&] { return program.title() == photo; }, 60s)) << program.title();
    EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(clipboard.read("image/png"))).size(),
              QSize(64, 48));
}

const CopiedFile CopiedFiles[] = {
    {"AsText", "UTF8_STRING", "", ""},
    {"AsAUriList", "text/uri-list", "# copied\r\n", "\r\n"},
};
INSTANTIATE_TEST_SUITE_P(Copies, CopiedFileE2eTest, ::testing::ValuesIn(CopiedFiles), RowName);

// Ideas, F and T always show an editor with their file, made empty when it is new; a terminal
// editor gets the desktop's terminal; what cannot start says so in a message box. The desktop's
// opener, terminal, message box and a terminal editor are recorders on the PATH.
struct Companion {
    const char *name;
    const Place &button;
    std::vector<std::pair<std::string, std::string>> environment;
    std::vector<std::string> started; // "@" stands for the program's folder
    friend void PrintTo(const Companion &row, std::ostream *out) { *out << row.name; }
};

using CompanionE2eTest = ::testing::TestWithParam<Companion>;

TEST_P(CompanionE2eTest, ShowsItsFileOrSaysWhyNot)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display";
    ProgramUnderTest program;
    std::filesystem::copy_file(std::filesystem::path(DOVRANTE_EXECUTABLE).parent_path() /
                                   "Notepad3",
                               program.file("Notepad3"));
    const std::string bin = program.home() + "/bin", log = program.home() + "/started.log";
    std::filesystem::create_directories(bin);
    for (const char *name : {"xdg-open", "x-terminal-emulator", "xmessage", "vim"}) {
        const std::string path = bin + "/" + name;
        std::ofstream(path) << "#!/bin/sh\n"
                               "line=${0##*/}\n"
                               "for a; do line=\"$line|$a\"; [ -f \"$a\" ] && "
                               "line=\"$line|$(wc -c <\"$a\") bytes\"; done\n"
                               "echo \"$line\" >>'"
                            << log << "'\nexit ${RECORDED_STATUS:-0}\n";
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    }
    program.setEnvironment("PATH", bin + ":" + std::getenv("PATH"));
    program.setEnvironment("VISUAL", std::nullopt);
    program.setEnvironment("EDITOR", std::nullopt);
    for (const auto &[name, value] : GetParam().environment)
        program.setEnvironment(name, value);
    program.start();
    ASSERT_FALSE(program.waitForWindow(60s).empty());
    program.click(GetParam().button);
    for (std::size_t n = 0; n < GetParam().started.size(); ++n) {
        std::string expected = GetParam().started[n];
        for (std::size_t at; (at = expected.find('@')) != std::string::npos;)
            expected.replace(at, 1, program.folder());
        EXPECT_EQ(waitForLine(log, n), expected);
    }
}

const Companion Companions[] = {
    {"IdeasOnAFreshInstall", ScreenLayout.cmdIdeas, {}, {"xdg-open|@/Dovrante Ideas.txt|0 bytes"}},
    {"FoldersOnAFreshInstall",
     ScreenLayout.cmdFolders,
     {},
     {"xdg-open|@/Dovrante Folders.txt|0 bytes"}},
    {"TextDataWithATerminalEditor",
     ScreenLayout.cmdTxtData,
     {{"VISUAL", "vim"}},
     {"x-terminal-emulator|-e|vim|@/Dovrante Data.txt|0 bytes"}},
    {"FoldersWithATerminalEditorInEditor",
     ScreenLayout.cmdFolders,
     {{"EDITOR", "vim -n"}},
     {"x-terminal-emulator|-e|vim|-n|@/Dovrante Folders.txt|0 bytes"}},
    {"AnEditorThatIsNotThere",
     ScreenLayout.cmdTxtData,
     {{"VISUAL", "gone-editor"}},
     {"xmessage|-title|Notepad3|-center|Cannot open @/Dovrante Data.txt: the editor gone-editor "
      "(from $VISUAL or $EDITOR) was not found"}},
    {"IdeasWithoutAnApplication",
     ScreenLayout.cmdIdeas,
     {{"RECORDED_STATUS", "3"}},
     {"xdg-open|@/Dovrante Ideas.txt|0 bytes",
      "xmessage|-title|Mervoxen|-center|Cannot open @/Dovrante Ideas.txt: the desktop has no "
      "application for it (xdg-open ended with status 3)"}},
};
INSTANTIATE_TEST_SUITE_P(Buttons, CompanionE2eTest, ::testing::ValuesIn(Companions), RowName);

// --help and --version answer without a display, and read and write nothing.
TEST(CommandLineE2eTest, HelpAndVersionAnswerAndEnd)
{
    const ProgramUnderTest program;
    const std::pair<std::string, std::string> answers[] = {
        {"--help", "Usage: Dovrante \\[--help \\| --version\\]\n(.|\n)*  " + program.folder() +
                       "/Dovrante Data.txt (.|\n)*" + program.folder() +
                       "/Dovrante BMP Data/(.|\n)*"},
        {"--version", "Dovrante [0-9]+\\.[0-9]+\\.[0-9]+\n"},
    };
    for (const auto &[argument, answer] : answers) {
        const CommandResult result =
            run({"env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "HOME=" + program.home(),
                 program.file("Dovrante"), "ignored", argument});
        EXPECT_EQ(result.exitCode, 0) << argument;
        EXPECT_TRUE(std::regex_match(result.output, std::regex(answer))) << result.output;
    }
    const auto entries = [](const std::string &folder) {
        return std::distance(std::filesystem::directory_iterator(folder),
                             std::filesystem::directory_iterator());
    };
    EXPECT_EQ(entries(program.folder()), 1) << "only the program";
    EXPECT_EQ(entries(program.home()), 0);
}

} // namespace
} // namespace dovrante::e2e
