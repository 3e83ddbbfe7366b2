// Every mouse and key binding of the main window driven by real input, one press at a time: each
// must have exactly one effect, the one a person sees.

#include "e2e_harness.h"

#include <QPainter>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <regex>
#include <thread>

namespace dovrante::e2e {
namespace {

using namespace std::chrono_literals;

// Its own copy: the points below are computed from it before any test runs.
const StartupLayout Layout = computeStartupLayout(1920 * 15, 1080 * 15);

bool dark(QColor colour)
{
    return colour.red() + colour.green() + colour.blue() < 250;
}

// A shown button has its caption's dark letters; a hidden one shows what lies beneath.
bool shown(const QImage &shot, const Place &button)
{
    const QRect rect = pixels(button);
    int rows = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (dark(shot.pixelColor(x, y))) {
                ++rows;
                break;
            }
        }
    }
    return rows > 3;
}

// The state word in the pink box, told by its widest stroke: "_" lies along the box's foot, "-"
// across its middle, and "+" has a stroke down through the middle of that one. (The caret of the
// focused box is a line of its own, beside the word.)
char stateWord(const QImage &shot)
{
    const QRect box = pixels(Layout.txtMin).adjusted(2, 2, -2, -2);
    int widest = 0, row = -1, from = 0, to = 0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        int first = -1, last = -1;
        for (int x = box.left(); x <= box.right(); ++x) {
            if (dark(shot.pixelColor(x, y))) {
                if (first < 0 || x == last + 1) {
                    first = first < 0 ? x : first;
                    last = x;
                }
            }
        }
        if (first >= 0 && last - first + 1 > widest) {
            widest = last - first + 1;
            row = y, from = first, to = last;
        }
    }
    if (row < 0)
        return ' ';
    if (row > box.center().y() + 2)
        return '_';
    int across = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        across += std::abs(y - row) > 1 && dark(shot.pixelColor((from + to) / 2, y));
    return across >= 2 ? '+' : '-';
}

size_t entries(const std::string &dataFile)
{
    return count(readFile(dataFile), "--- --- --- --- --- ---");
}

enum class Clip { None, Text, Picture, TallPicture, WidePicture };

struct Binding {
    const char *name;
    Clip clip;
    // The real input, on the window just shown.
    std::function<void(struct InputE2eTest &)> input;
    // The one effect a person sees; called once the input has had time to take effect twice.
    std::function<void(struct InputE2eTest &)> expect;
};

void PrintTo(const Binding &binding, std::ostream *out)
{
    *out << binding.name;
}

struct InputE2eTest : ::testing::TestWithParam<Binding> {
    void SetUp() override
    {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display to test on";
        switch (GetParam().clip) {
        case Clip::None:
            clipboard.clear();
            break;
        case Clip::Text:
            clipboard.putText("a line of text");
            break;
        case Clip::Picture:
            putPicture(400, 300, [](QPainter &p) { p.fillRect(0, 0, 20, 300, Qt::red); });
            break;
        case Clip::WidePicture:
            // One arrow step is 40 pixels, one page the viewport's 1896: yellow marks each.
            putPicture(4000, 600, [](QPainter &p) {
                p.fillRect(40, 0, 40, 600, Qt::yellow);
                p.fillRect(1896, 0, 40, 600, Qt::yellow);
                p.fillRect(1936, 0, 2064, 600, Qt::blue);
            });
            break;
        case Clip::TallPicture:
            // One arrow step is 14 pixels: the yellow band.
            putPicture(600, 1400, [](QPainter &p) { p.fillRect(0, 14, 600, 14, Qt::yellow); });
            break;
        }
        program.start();
        window = program.waitForWindow();
        ASSERT_FALSE(window.empty()) << "no window appeared";
        if (GetParam().clip == Clip::Text) {
            ASSERT_TRUE(waitUntil([&] { return entries(dataFile()) == 1; }));
        }
        // The input comes the way a person's does: to the window that has the focus by itself.
        ASSERT_TRUE(waitUntil([&] { return focusedWindow() == window; }))
            << "the window did not take the keyboard focus";
        screenWhen([](const QImage &shot) { return stateWord(shot) == '-'; });
    }

    void putPicture(int width, int height, const std::function<void(QPainter &)> &paint)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::green);
        QPainter painter(&image);
        paint(painter);
        painter.end();
        clipboard.putImage(image, program.home() + "/picture.png");
    }

    std::string dataFile() const { return program.dataFile(); }

    void click(const QPoint &at, int button = 1) { program.clickAt(at.x(), at.y(), button); }
    void keys(const std::vector<std::string> &names)
    {
        std::vector<std::string> argv{"xdotool", "key"};
        argv.insert(argv.end(), names.begin(), names.end());
        run(argv);
    }

    // Time for a doubled handler to show itself.
    static void settle() { std::this_thread::sleep_for(1500ms); }

    // Exactly one box of this title with this text: it comes, it is closed, and no second follows.
    void expectOneBox(const std::string &title, const std::string &text)
    {
        const std::string box = program.waitForWindowTitled(title);
        ASSERT_FALSE(box.empty()) << "no box titled " << title;
        if (!text.empty()) {
            EXPECT_NE(program.messageBoxText(box, clipboard).find(text), std::string::npos);
        }
        program.pressKeysIn(box, {"Return"});
        ASSERT_TRUE(waitUntil([&] { return program.waitForWindowTitled(title, 100ms).empty(); }));
        EXPECT_TRUE(program.waitForWindowTitled(title, 1500ms).empty()) << "a second box came";
    }

    // One capture: the text put on the clipboard now is shown and recorded exactly once.
    void expectOneCapture()
    {
        ASSERT_TRUE(waitUntil([&] { return entries(dataFile()) >= 1; })) << "no capture";
        settle();
        EXPECT_EQ(entries(dataFile()), 1u);
        EXPECT_NE(readFile(dataFile()).find("taken again"), std::string::npos);
    }

    void expectToolbar(bool isShown, char word)
    {
        settle();
        const QImage shot = screenshot();
        EXPECT_EQ(shown(shot, Layout.cmdPrint), isShown);
        EXPECT_EQ(shown(shot, Layout.cmdReload), isShown);
        EXPECT_EQ(stateWord(shot), word);
    }

    void expectCaptionBox(bool isShown)
    {
        settle();
        const QRect box = pixels(Layout.txtCaption);
        const QColor inside = screenshot().pixelColor(box.right() - 10, box.center().y());
        EXPECT_EQ(near(inside, Qt::white), isShown) << inside.name().toStdString();
    }

    // How far the picture has moved, told by the colour at a point it passes.
    void expectColourAt(const QPoint &at, QColor colour)
    {
        screenWhen([&](const QImage &s) { return near(s.pixelColor(at), colour); });
        settle();
        EXPECT_TRUE(near(screenshot().pixelColor(at), colour))
            << screenshot().pixelColor(at).name().toStdString();
    }

    XClipboard clipboard;
    ProgramUnderTest program;
    std::string window;
};

const QPoint OnPicture(200, 150);
const QPoint OnBareViewport(1000, 600);
const QPoint OnText(600, 500);
const QPoint OnBareWindow(600, 500);
const QPoint RightArrow(1888, 1038);
const QPoint RightTrackEnd(1860, 1038);
const QPoint DownArrow(1904, 1022);

using Step = std::function<void(InputE2eTest &)>;

// The inputs and effects most bindings are made of.
Step press(QPoint at, int button = 1)
{
    return [=](InputE2eTest &t) { t.click(at, button); };
}
Step keys(std::vector<std::string> names)
{
    return [=](InputE2eTest &t) { t.keys(names); };
}
// A new text on the clipboard first, for the capture the input makes.
Step afterNewText(Step input)
{
    return [=](InputE2eTest &t) {
        t.clipboard.putText("taken again");
        input(t);
    };
}
Step afterF2(Step input)
{
    return [=](InputE2eTest &t) {
        t.keys({"F2"});
        t.settle();
        input(t);
    };
}
Step oneBox(std::string title, std::string text)
{
    return [=](InputE2eTest &t) { t.expectOneBox(title, text); };
}
Step toolbar(bool shown, char word)
{
    return [=](InputE2eTest &t) { t.expectToolbar(shown, word); };
}
Step captionBox(bool shown)
{
    return [=](InputE2eTest &t) { t.expectCaptionBox(shown); };
}
Step colourAt(QPoint at, QColor colour)
{
    return [=](InputE2eTest &t) { t.expectColourAt(at, colour); };
}
const Step OneCapture = &InputE2eTest::expectOneCapture;
const Step Ends = [](InputE2eTest &t) { EXPECT_TRUE(t.program.waitForExit()); };
const QPoint OnToggle = pixels(Layout.txtMin).center();
const QPoint OnCaptionBox = pixels(Layout.txtCaption).center();

const Binding Bindings[] = {
    {"txtMinClickTogglesTheToolbarOnce", Clip::Text, press(OnToggle), toolbar(false, '+')},
    {"txtMinTwoClicksBringTheToolbarBack", Clip::Picture,
     [](InputE2eTest &t) {
         t.click(OnToggle);
         t.settle();
         t.click(OnToggle);
     },
     toolbar(true, '_')},
    {"TextViewLeftPressTogglesTheToolbarOnce", Clip::Text, press(OnText, 1),
     [](InputE2eTest &t) {
         t.expectToolbar(false, '-');
         EXPECT_FALSE(shown(screenshot(), Layout.cmdFont));
     }},
    {"TextViewRightPressCapturesOnce", Clip::Text,
     [](InputE2eTest &t) {
         std::filesystem::remove(t.dataFile());
         afterNewText(press(OnText, 3))(t);
     },
     OneCapture},
    {"TextViewMiddlePressDoesNothing", Clip::Text, press(OnText, 2),
     [](InputE2eTest &t) {
         t.expectToolbar(true, '-');
         EXPECT_EQ(entries(t.dataFile()), 1u);
     }},
    {"PictureLeftPressShowsTheSizesReportOnce", Clip::Picture, press(OnPicture, 1),
     oneBox("Test: Picture Sizes", "Picture2:\t0\t0\t4500\t6000")},
    {"PictureMiddlePressShowsTheSizesReportOnce", Clip::Picture, press(OnPicture, 2),
     oneBox("Test: Picture Sizes", "")},
    {"PictureRightPressCapturesOnce", Clip::Picture, afterNewText(press(OnPicture, 3)), OneCapture},
    {"BareViewportClickShowsItsWidthOnce", Clip::Picture, press(OnBareViewport, 1),
     oneBox("Dovrante", "28445")},
    {"BareViewportRightPressCapturesOnce", Clip::Picture, afterNewText(press(OnBareViewport, 3)),
     OneCapture},
    {"Image1RightPressCapturesOnce", Clip::Picture,
     [](InputE2eTest &t) {
         // The arrow moves the small picture 4 pixels right, baring the measuring image's edge.
         t.click(RightArrow);
         t.settle();
         afterNewText(press(QPoint(1, 150), 3))(t);
     },
     OneCapture},
    {"CaptionBoxRightPressResetsTheCaptionOnce", Clip::None, afterF2(press(OnCaptionBox, 3)),
     [](InputE2eTest &t) {
         t.expectOneBox("Dovrante", "Reset to Date/Time..");
         EXPECT_TRUE(std::regex_match(t.program.title(), std::regex(R"(\d{8} \d{6}\.jpg)")));
     }},
    {"CaptionBoxLeftPressChangesNothing", Clip::None, afterF2(press(OnCaptionBox, 1)),
     [](InputE2eTest &t) {
         t.expectCaptionBox(true);
         EXPECT_TRUE(t.program.waitForWindowTitled("Dovrante", 500ms).empty());
         EXPECT_EQ(t.program.title(), "Clipboard Print with Options");
     }},
    {"CaptionBoxEnterNamesTheWindow", Clip::None, afterF2([](InputE2eTest &t) {
         t.program.typeIn(t.window, "my name");
         t.keys({"Return"});
     }),
     [](InputE2eTest &t) {
         t.expectCaptionBox(false);
         EXPECT_EQ(t.program.title(), "my name");
     }},
    {"BareWindowClickShowsTheCaptionOnce", Clip::None, press(OnBareWindow),
     oneBox("Dovrante", "Clipboard Print with Options")},
    {"F2ShowsTheCaptionBoxOnce", Clip::None, keys({"F2"}), captionBox(true)},
    {"F5CapturesOnce", Clip::None, afterNewText(keys({"F5"})), OneCapture},
    {"CtrlOOpensOneFileDialog", Clip::None, keys({"ctrl+o"}),
     [](InputE2eTest &t) {
         const std::string dialog = t.program.waitForWindowTitled("Open Clip File");
         ASSERT_FALSE(dialog.empty()) << "no file dialog";
         t.program.pressKeysIn(dialog, {"Escape"});
         ASSERT_TRUE(waitUntil(
             [&] { return t.program.waitForWindowTitled("Open Clip File", 100ms).empty(); }));
         EXPECT_TRUE(t.program.waitForWindowTitled("Open Clip File", 1500ms).empty())
             << "a second dialog came";
         EXPECT_TRUE(t.program.running());
     }},
    {"EscapeEndsTheProgram", Clip::Text, keys({"Escape"}), Ends},
    {"CtrlBracketEndsTheProgram", Clip::None, keys({"ctrl+bracketleft"}), Ends},
    // The caption box is shown and the focus passed on from it, in tab order, to its button.
    {"SpaceOnAFocusedButtonPressesItOnce", Clip::None, afterF2(keys({"Tab", "space"})),
     captionBox(false)},
    {"EnterOnAFocusedButtonPressesItOnce", Clip::None, afterF2(keys({"Tab", "Return"})),
     captionBox(false)},
    {"HorizontalArrowMovesThePictureOneStep", Clip::WidePicture, press(RightArrow),
     colourAt(QPoint(20, 300), Qt::yellow)},
    {"HorizontalTrackMovesThePictureOnePage", Clip::WidePicture, press(RightTrackEnd),
     colourAt(QPoint(20, 300), Qt::yellow)},
    {"VerticalArrowMovesThePictureOneStep", Clip::TallPicture, press(DownArrow),
     colourAt(QPoint(300, 7), Qt::yellow)},
};

TEST_P(InputE2eTest, OneInputHasOneEffect)
{
    GetParam().input(*this);
    GetParam().expect(*this);
}

INSTANTIATE_TEST_SUITE_P(Bindings, InputE2eTest, ::testing::ValuesIn(Bindings),
                         [](const auto &row) { return std::string(row.param.name); });

// A display of its own with no window manager, where nobody else hands the window the focus.
class BareDisplay {
public:
    BareDisplay()
    {
        int number = 140;
        while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number)) ||
               std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock"))
            ++number;
        const std::string name = ":" + std::to_string(number);
        m_pid = std::atoi(run({"sh", "-c",
                               "Xvfb " + name + " -screen 0 1920x1080x24 -dpi 96 -nolisten tcp " +
                                   "-noreset >/dev/null 2>&1 & echo $!"})
                              .output.c_str());
        waitUntil([&] { return std::filesystem::exists("/tmp/.X11-unix/X" + name.substr(1)); });
        m_previous = std::getenv("DISPLAY");
        ::setenv("DISPLAY", name.c_str(), 1);
    }
    ~BareDisplay()
    {
        ::setenv("DISPLAY", m_previous.c_str(), 1);
        if (m_pid > 0)
            ::kill(m_pid, SIGTERM);
    }

private:
    int m_pid = -1;
    std::string m_previous;
};

TEST(InputWithoutWindowManagerE2eTest, TheWindowTakesTheFocusAndEscapeWorksAtOnce)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display to test on";
    BareDisplay display;
    XClipboard clipboard;
    ProgramUnderTest program;
    program.start();
    const std::string window = program.waitForWindow();
    ASSERT_FALSE(window.empty());
    EXPECT_TRUE(waitUntil([&] { return focusedWindow() == window; }))
        << "the window did not take the keyboard focus";
    run({"xdotool", "key", "Escape"});
    EXPECT_TRUE(program.waitForExit());
}

} // namespace
} // namespace dovrante::e2e
