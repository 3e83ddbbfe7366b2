// The window at start when the clipboard gives it nothing to show.

#include "e2e_harness.h"

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
    if (start.type) {
        std::ofstream(program.home() + "/clip") << start.bytes;
        clipboard.putFile(program.home() + "/clip", start.type);
    }
    if (start.frozen)
        clipboard.freezeOwner();
    program.start();
    for (const auto &[title, part] : start.boxes) {
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
    {"EmptyClipboard", nullptr, "", false, {}},
    {"OwnerThatNeverAnswers", "UTF8_STRING", "frozen owner", true, {}},
    {"MetafileOnlyReportedByItsFormatNumber",
     "image/x-wmf",
     "not really a metafile",
     false,
     {{"Dovrante", "\nBad format: 3\n"}, {"GetFormat number is", "\n3\n"}}},
};

INSTANTIATE_TEST_SUITE_P(Starts, StartE2eTest, ::testing::ValuesIn(Starts), RowName);

} // namespace
} // namespace dovrante::e2e
