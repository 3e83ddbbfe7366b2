// The program on the Linux desktop as it is: the focus where a person expects it, with or without
// a window manager.

#include "e2e_harness.h"

#include <regex>

namespace dovrante::e2e {
namespace {

const QColor Pink(255, 153, 204);

// On a display of its own with no window manager, where nobody hands the window the focus: it
// takes the focus at start, and back when a message box closes, so that Escape works at once.
TEST(FocusWithoutWindowManagerE2eTest, IsTheWindowsAtStartAndAfterAMessageBox)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display";
    const OwnDisplay display;
    ASSERT_TRUE(display.ok()) << "no display of its own";
    ProgramUnderTest program;
    program.start();
    const std::string window = program.waitForWindow();
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(waitUntil([&] { return focusedWindow() == window; }))
        << "the window did not take the keyboard focus";
    // A click on the bare window shows its caption in a box.
    program.clickAt(600, 500);
    const std::string box = program.waitForWindowTitled("Dovrante");
    ASSERT_FALSE(box.empty()) << "no message box";
    program.pressKeysIn(box, {"Return"});
    EXPECT_TRUE(waitUntil([&] { return focusedWindow() == window; }))
        << "the window did not take the focus back";
    run({"xdotool", "key", "Escape"});
    EXPECT_TRUE(program.waitForExit());
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
    EXPECT_TRUE(waitUntil([&] { return program.title() == photo; })) << program.title();
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
    ASSERT_FALSE(program.waitForWindow().empty());
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

// Two monitors side by side on one display, the primary on the right, under a window manager: the
// window covers the monitor that holds the pointer at start, and nothing of it lies on the other.
struct Monitor {
    const char *name;
    QPoint pointer;
    QRect covered, other;
    QPoint pink; // inside the pink box at the tool bar's right end
    friend void PrintTo(const Monitor &row, std::ostream *out) { *out << row.name; }
};

using MonitorE2eTest = ::testing::TestWithParam<Monitor>;

TEST_P(MonitorE2eTest, TheWindowCoversTheMonitorOfThePointer)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display";
    const OwnDisplay display({}, "3200x1080");
    ASSERT_TRUE(display.ok()) << "no display of its own";
    ASSERT_EQ(run({"xrandr", "--setmonitor", "LEFT", "1280/338x1024/270+0+0", "none"}).exitCode, 0);
    ASSERT_EQ(
        run({"xrandr", "--setmonitor", "*RIGHT", "1920/508x1080/286+1280+0", "screen"}).exitCode,
        0);
    const QTemporaryDir wmHome("/tmp/dovrante-e2e-XXXXXX");
    Process windowManager;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", wmHome.path());
    environment.insert("XDG_CACHE_HOME", wmHome.path());
    windowManager.setProcessEnvironment(environment);
    ASSERT_TRUE(launch(windowManager, {"openbox", "--sm-disable"}));
    ASSERT_TRUE(waitUntil([] {
        return run({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}).output.find("window id") !=
               std::string::npos;
    }));

    const Monitor &row = GetParam();
    XClipboard clipboard;
    clipboard.put(painted(400, 300, Qt::red));
    run({"xdotool", "mousemove", std::to_string(row.pointer.x()), std::to_string(row.pointer.y())});
    ProgramUnderTest program;
    program.start();
    const std::string window = waitForWindowNamed(".", Patience, 0, [&](const std::string &w) {
        auto g = windowGeometry(w);
        return g["WIDTH"] == row.covered.width() && g["HEIGHT"] == row.covered.height();
    });
    ASSERT_FALSE(window.empty()) << "no window as large as the monitor";
    auto g = windowGeometry(window);
    EXPECT_EQ(QPoint(g["X"], g["Y"]), row.covered.topLeft());

    const QPoint onPicture = row.covered.topLeft() + QPoint(100, 60);
    const QImage shot = screenWhen([&](const QImage &s) {
        return near(s.pixelColor(onPicture), Qt::red) && near(s.pixelColor(row.pink), Pink);
    });
    EXPECT_TRUE(near(shot.pixelColor(onPicture), Qt::red));
    EXPECT_TRUE(near(shot.pixelColor(row.pink), Pink))
        << shot.pixelColor(row.pink).name().toStdString();
    int drawn = 0;
    for (int y = row.other.top(); y <= row.other.bottom(); y += 8)
        for (int x = row.other.left(); x <= row.other.right(); x += 8)
            drawn += shot.pixel(x, y) != qRgb(0, 0, 0);
    EXPECT_EQ(drawn, 0) << "pixels drawn on the other monitor";
    EXPECT_NE(run({"xprop", "-id", window, "_NET_WM_STATE"}).output.find("FULLSCREEN"),
              std::string::npos)
        << "not full screen for the window manager";

    // A message box opens centred on the same monitor.
    program.clickAt(onPicture.x(), onPicture.y());
    const std::string box = program.waitForWindowTitled("Test: Picture Sizes");
    ASSERT_FALSE(box.empty());
    g = windowGeometry(box);
    const QPoint middle(g["X"] + g["WIDTH"] / 2, g["Y"] + g["HEIGHT"] / 2);
    EXPECT_LE((middle - row.covered.center()).manhattanLength(), 60)
        << middle.x() << "," << middle.y();
    program.pressKeysIn(box, {"Return"});
}

const Monitor Monitors[] = {
    {"PointerOnTheLeft", {600, 500}, {0, 0, 1280, 1024}, {1280, 0, 1920, 1080}, {1246, 11}},
    {"PointerOnThePrimaryOnTheRight",
     {2000, 500},
     {1280, 0, 1920, 1080},
     {0, 0, 1280, 1024},
     {3166, 11}},
};
INSTANTIATE_TEST_SUITE_P(TwoMonitors, MonitorE2eTest, ::testing::ValuesIn(Monitors), RowName);

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
