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
