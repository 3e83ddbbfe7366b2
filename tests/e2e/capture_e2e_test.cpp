// The window at start when the clipboard gives it nothing to show.

#include "e2e_harness.h"

#include <fstream>

namespace dovrante::e2e {
namespace {

const QColor PaleYellow(255, 250, 200);
const QColor Pink(255, 153, 204);

struct Start {
    const char *name;
    void (*fill)(XClipboard &, const std::string &home);
    std::vector<std::pair<std::string, std::string>> boxes; // title and part of the text, in order
};

void PrintTo(const Start &start, std::ostream *out)
{
    *out << start.name;
}

class StartE2eTest : public E2eTest, public ::testing::WithParamInterface<Start> {};

TEST_P(StartE2eTest, ShowsOnlyThePaleYellowWindowAndThePinkToggle)
{
    GetParam().fill(clipboard, program.home());
    program.start();
    for (const auto &[title, part] : GetParam().boxes) {
        const std::string said = program.closeBox(title, clipboard);
        EXPECT_NE(said.find(part), std::string::npos) << said;
    }
    // Each question to a frozen owner gives up after a few seconds.
    const std::string window = program.waitForWindow(std::chrono::seconds(30));
    clipboard.thawOwner();
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

const Start Starts[] = {
    {"EmptyClipboard", [](XClipboard &c, const std::string &) { c.clear(); }, {}},
    {"OwnerThatNeverAnswers",
     [](XClipboard &c, const std::string &) {
         c.putText("frozen owner");
         c.freezeOwner();
     },
     {}},
    {"MetafileOnlyReportedByItsFormatNumber",
     [](XClipboard &c, const std::string &home) {
         std::ofstream(home + "/clip.wmf") << "not really a metafile";
         c.putFile(home + "/clip.wmf", "image/x-wmf");
     },
     {{"Dovrante", "\nBad format: 3\n"}, {"GetFormat number is", "\n3\n"}}},
};

INSTANTIATE_TEST_SUITE_P(Starts, StartE2eTest, ::testing::ValuesIn(Starts),
                         [](const auto &row) { return std::string(row.param.name); });

} // namespace
} // namespace dovrante::e2e
