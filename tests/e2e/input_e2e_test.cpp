// Every mouse and key binding of the main window driven by real input, one press at a time: each
// must have exactly one effect, the one a person sees.

#include "e2e_harness.h"

#include <regex>

namespace dovrante::e2e {
namespace {

const auto dark = [](QRgb p) { return qRed(p) + qGreen(p) + qBlue(p) < 250; };

// The first run of dark pixels in a row of the rectangle: its first and last x, or none.
std::optional<std::pair<int, int>> stroke(const QImage &shot, const QRect &rect, int y)
{
    int first = rect.left();
    while (first <= rect.right() && !dark(shot.pixel(first, y)))
        ++first;
    if (first > rect.right())
        return std::nullopt;
    int last = first;
    while (last < rect.right() && dark(shot.pixel(last + 1, y)))
        ++last;
    return std::pair(first, last);
}

// A shown button has its caption's dark letters; a hidden one shows what lies beneath.
bool shown(const QImage &shot, const Place &button)
{
    const QRect rect = pixels(button);
    int rows = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        rows += stroke(shot, rect, y).has_value();
    return rows > 3;
}

// The state word in the pink box, told by its widest stroke: "_" lies along the box's foot, "-"
// across its middle, and "+" has a stroke down through the middle of that one. (The caret of the
// focused box is a line of its own, beside the word.)
char stateWord(const QImage &shot)
{
    const QRect box = pixels(ScreenLayout.txtMin).adjusted(2, 2, -2, -2);
    int widest = 0, row = -1, middle = 0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const auto s = stroke(shot, box, y);
        if (s && s->second - s->first + 1 > widest) {
            widest = s->second - s->first + 1;
            row = y;
            middle = (s->first + s->second) / 2;
        }
    }
    if (row < 0 || row > box.center().y() + 2)
        return row < 0 ? ' ' : '_';
    int across = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        across += std::abs(y - row) > 1 && dark(shot.pixel(middle, y));
    return across >= 2 ? '+' : '-';
}

// What the clipboard holds at the start: nothing, text, or a green picture with coloured parts.
struct Clip {
    const char *text = nullptr;
    QSize size = {};
    std::vector<std::pair<QRect, QColor>> parts = {};
};
const Clip None, Text{.text = "a line of text"};
const Clip Picture{.size = {400, 300}, .parts = {{{0, 0, 20, 300}, Qt::red}}};
// One arrow step is 40 pixels, one page the viewport's 1896: yellow marks each.
const Clip WidePicture{.size = {4000, 600},
                       .parts = {{{40, 0, 40, 600}, Qt::yellow},
                                 {{1896, 0, 40, 600}, Qt::yellow},
                                 {{1936, 0, 2064, 600}, Qt::blue}}};
// One arrow step is 14 pixels: the yellow band.
const Clip TallPicture{.size = {600, 1400}, .parts = {{{0, 14, 600, 14}, Qt::yellow}}};
// One turn of the wheel is three arrow steps: the yellow bands.
const Clip TallPictureForTheWheel{.size = {600, 1400}, .parts = {{{0, 42, 600, 14}, Qt::yellow}}};
const Clip WidePictureForTheWheel{.size = {4000, 600}, .parts = {{{120, 0, 40, 600}, Qt::yellow}}};

struct InputE2eTest;
using T = InputE2eTest;
struct Binding {
    const char *name;
    const Clip &clip;
    // The real input on the window just shown, then the one effect a person sees.
    std::function<void(T &)> inputAndEffect;
    friend void PrintTo(const Binding &row, std::ostream *out) { *out << row.name; }
};

// Each step returns the test, so that a binding's steps read as one line.
struct InputE2eTest : E2eTest, ::testing::WithParamInterface<Binding> {
    void SetUp() override
    {
        E2eTest::SetUp();
        const Clip &clip = GetParam().clip;
        if (clip.text)
            clipboard.put(clip.text);
        else if (!clip.size.isEmpty())
            clipboard.put(painted(clip.size.width(), clip.size.height(), Qt::green, clip.parts));
        program.start();
        window = program.waitForWindow();
        ASSERT_FALSE(window.empty()) << "no window appeared";
        // Text is recorded as the program starts.
        ASSERT_TRUE(waitUntil([&] { return entries() == (clip.text ? 1u : 0u); }));
        atStart = entries();
        // The input comes the way a person's does: to the window that has the focus by itself.
        ASSERT_TRUE(waitUntil([&] { return focusedWindow() == window; }))
            << "the window did not take the keyboard focus";
        screenWhen([](const QImage &shot) { return stateWord(shot) == '-'; });
    }

    std::size_t entries() { return count(readFile(program.dataFile()), "--- --- --- --- --- ---"); }

    T &click(const QPoint &at, int button = 1)
    {
        program.clickAt(at.x(), at.y(), button);
        return *this;
    }
    // One turn of the wheel (buttons 4 to 7), with Shift held or not.
    T &wheel(const QPoint &at, int button, bool shift = false)
    {
        if (shift)
            keys("keydown", "shift");
        click(at, button);
        if (shift)
            keys("keyup", "shift");
        return *this;
    }
    template <class... Names>
    T &keys(const Names &...names)
    {
        run({"xdotool", "key", names...});
        return *this;
    }
    T &newText()
    {
        clipboard.put("taken again");
        return *this;
    }
    // Time for a doubled handler to show itself.
    T &settle()
    {
        std::this_thread::sleep_for(1500ms);
        return *this;
    }
    T &f2() { return keys("F2").settle(); }

    // Exactly one window of this title (with this text): it comes, is closed with the key, and no
    // second follows.
    T &expectOne(const std::string &title, const std::string &text, const char *key = "Return")
    {
        const std::string box = program.waitForWindowTitled(title);
        EXPECT_FALSE(box.empty()) << "no window titled " << title;
        if (!text.empty()) {
            EXPECT_NE(program.messageBoxText(box, clipboard).find(text), std::string::npos);
        }
        program.pressKeysIn(box, {key});
        EXPECT_TRUE(waitUntil([&] { return program.waitForWindowTitled(title, 0ms).empty(); }));
        return expectNo(title, 1500ms);
    }
    T &expectNo(const std::string &title, std::chrono::milliseconds during)
    {
        EXPECT_TRUE(program.waitForWindowTitled(title, during).empty()) << "one came: " << title;
        return *this;
    }
    T &expectOneCapture()
    {
        EXPECT_TRUE(waitUntil([&] { return entries() > atStart; })) << "no capture";
        settle();
        EXPECT_EQ(entries(), atStart + 1);
        EXPECT_NE(readFile(program.dataFile()).find("taken again"), std::string::npos);
        return *this;
    }
    T &expectToolbar(bool isShown, char word)
    {
        settle();
        const QImage shot = screenshot();
        EXPECT_EQ(shown(shot, ScreenLayout.cmdPrint), isShown);
        EXPECT_EQ(shown(shot, ScreenLayout.cmdReload), isShown);
        EXPECT_EQ(stateWord(shot), word);
        return *this;
    }
    T &expectCaptionBox(bool isShown)
    {
        const QRect box = pixels(ScreenLayout.txtCaption);
        settle();
        const QColor inside = screenshot().pixelColor(box.right() - 10, box.center().y());
        EXPECT_EQ(near(inside, Qt::white), isShown) << inside.name().toStdString();
        return *this;
    }
    // How far the picture has moved, told by the colour at a point it passes.
    T &expectColourAt(const QPoint &at, QColor colour)
    {
        screenWhen([&](const QImage &s) { return near(s.pixelColor(at), colour); });
        settle();
        const QColor now = screenshot().pixelColor(at);
        EXPECT_TRUE(near(now, colour)) << now.name().toStdString();
        return *this;
    }
    T &expectTitle(const std::string &pattern)
    {
        EXPECT_TRUE(std::regex_match(program.title(), std::regex(pattern))) << program.title();
        return *this;
    }

    std::string window;
    std::size_t atStart = 0; // entries in the data file
};

const QPoint OnPicture(200, 150), OnBareViewport(1000, 600), OnText(600, 500);
const QPoint OnBareWindow(600, 500), RightArrow(1888, 1038), RightTrackEnd(1860, 1038);
const QPoint DownArrow(1904, 1022), LeftEdge(20, 300), TopEdge(300, 7), Image1Edge(1, 150);
const QPoint OnVerticalBar(1904, 500), OnHorizontalBar(1000, 1038);
const QPoint OnToggle = pixels(ScreenLayout.txtMin).center();
const QPoint OnCaptionBox = pixels(ScreenLayout.txtCaption).center();
const char *const DefaultTitle = "Clipboard Print with Options";

// Tab passes the focus from the caption box, once shown, to its button.
const Binding Bindings[] = {
    {"txtMinClickTogglesTheToolbarOnce", Text,
     [](T &t) { t.click(OnToggle).expectToolbar(false, '+'); }},
    {"txtMinTwoClicksBringTheToolbarBack", Picture,
     [](T &t) { t.click(OnToggle).settle().click(OnToggle).expectToolbar(true, '_'); }},
    {"TextViewLeftPressTogglesTheToolbarOnce", Text,
     [](T &t) {
         t.click(OnText, 1).expectToolbar(false, '-');
         EXPECT_FALSE(shown(screenshot(), ScreenLayout.cmdFont));
     }},
    {"TextViewRightPressCapturesOnce", Text,
     [](T &t) { t.newText().click(OnText, 3).expectOneCapture(); }},
    // No menu of a control's own opens to take the next click.
    {"TextViewRightPressOpensNoMenu", Text,
     [](T &t) { t.click(OnText, 3).settle().click(OnToggle).expectToolbar(false, '+'); }},
    {"ScrollBarRightPressOpensNoMenu", Picture,
     [](T &t) { t.click(OnHorizontalBar, 3).settle().click(OnToggle).expectToolbar(false, '+'); }},
    {"TextViewMiddlePressDoesNothing", Text,
     [](T &t) {
         t.click(OnText, 2).expectToolbar(true, '-');
         EXPECT_EQ(t.entries(), 1u);
     }},
    {"PictureLeftPressShowsTheSizesReportOnce", Picture,
     [](T &t) {
         t.click(OnPicture, 1).expectOne("Test: Picture Sizes", "Picture2:\t0\t0\t4500\t6000");
     }},
    {"PictureMiddlePressShowsTheSizesReportOnce", Picture,
     [](T &t) { t.click(OnPicture, 2).expectOne("Test: Picture Sizes", ""); }},
    {"PictureRightPressCapturesOnce", Picture,
     [](T &t) { t.newText().click(OnPicture, 3).expectOneCapture(); }},
    {"BareViewportClickShowsItsWidthOnce", Picture,
     [](T &t) { t.click(OnBareViewport, 1).expectOne("Dovrante", "28445"); }},
    {"BareViewportRightPressCapturesOnce", Picture,
     [](T &t) { t.newText().click(OnBareViewport, 3).expectOneCapture(); }},
    // The arrow moves the small picture 4 pixels right, baring the measuring image's edge.
    {"Image1RightPressCapturesOnce", Picture,
     [](T &t) { t.click(RightArrow).settle().newText().click(Image1Edge, 3).expectOneCapture(); }},
    {"CaptionBoxRightPressResetsTheCaptionOnce", None,
     [](T &t) {
         t.f2().click(OnCaptionBox, 3).expectOne("Dovrante", "Reset to Date/Time..");
         t.expectTitle(R"(\d{8} \d{6}\.jpg)");
     }},
    {"CaptionBoxLeftPressChangesNothing", None,
     [](T &t) {
         t.f2().click(OnCaptionBox, 1).expectCaptionBox(true).expectNo("Dovrante", 500ms);
         t.expectTitle(DefaultTitle);
     }},
    {"CaptionBoxEnterNamesTheWindow", None,
     [](T &t) {
         t.f2().program.typeIn(t.window, "my name");
         t.keys("Return").expectCaptionBox(false).expectTitle("my name");
     }},
    {"BareWindowClickShowsTheCaptionOnce", None,
     [](T &t) { t.click(OnBareWindow).expectOne("Dovrante", DefaultTitle); }},
    {"F2ShowsTheCaptionBoxOnce", None, [](T &t) { t.keys("F2").expectCaptionBox(true); }},
    {"F5CapturesOnce", None, [](T &t) { t.newText().keys("F5").expectOneCapture(); }},
    {"CtrlOOpensOneFileDialog", None,
     [](T &t) {
         t.keys("ctrl+o").expectOne("Open Clip File", "", "Escape");
         EXPECT_TRUE(t.program.running());
     }},
    // The focus starts on the picture, the text view, or else Print.
    {"PictureStartEnterLeavesTheProgramRunning", Picture,
     [](T &t) {
         EXPECT_FALSE(t.keys("Return").program.waitForExit(5s));
         t.expectTitle(R"(\d{8} \d{6}\.jpg)");
     }},
    {"TextStartTypingReachesTheTextView", Text,
     [](T &t) {
         run({"xdotool", "type", "--delay", "15", "typed "});
         t.click(pixels(ScreenLayout.cmdSave).center());
         EXPECT_TRUE(waitUntil([&] { return t.entries() == 2; }));
         const std::string data = readFile(t.program.dataFile());
         EXPECT_NE(data.find("typed a line of text"), std::string::npos) << data;
     }},
    {"EmptyStartEnterPressesPrintWhichPrintsNothing", None,
     [](T &t) { EXPECT_FALSE(t.keys("Return").program.waitForExit(5s)); }},
    {"EscapeEndsTheProgram", Text,
     [](T &t) { EXPECT_TRUE(t.keys("Escape").program.waitForExit()); }},
    {"CtrlBracketEndsTheProgram", None,
     [](T &t) { EXPECT_TRUE(t.keys("ctrl+bracketleft").program.waitForExit()); }},
    {"SpaceOnAFocusedButtonPressesItOnce", None,
     [](T &t) { t.f2().keys("Tab", "space").expectCaptionBox(false); }},
    {"EnterOnAFocusedButtonPressesItOnce", None,
     [](T &t) { t.f2().keys("Tab", "Return").expectCaptionBox(false); }},
    {"HorizontalArrowMovesThePictureOneStep", WidePicture,
     [](T &t) { t.click(RightArrow).expectColourAt(LeftEdge, Qt::yellow); }},
    {"HorizontalTrackMovesThePictureOnePage", WidePicture,
     [](T &t) { t.click(RightTrackEnd).expectColourAt(LeftEdge, Qt::yellow); }},
    {"VerticalArrowMovesThePictureOneStep", TallPicture,
     [](T &t) { t.click(DownArrow).expectColourAt(TopEdge, Qt::yellow); }},
    // The wheel over the picture is the wheel over its bar; Shift or a sideways wheel, the
    // horizontal bar's.
    {"WheelOverTheVerticalBarMovesThePictureThreeSteps", TallPictureForTheWheel,
     [](T &t) { t.wheel(OnVerticalBar, 5).expectColourAt(TopEdge, Qt::yellow); }},
    {"WheelOverThePictureMovesItAsOverTheVerticalBar", TallPictureForTheWheel,
     [](T &t) { t.wheel(OnPicture, 5).expectColourAt(TopEdge, Qt::yellow); }},
    {"WheelOverTheBareViewportMovesThePictureAsOverTheVerticalBar", TallPictureForTheWheel,
     [](T &t) { t.wheel(OnBareViewport, 5).expectColourAt(TopEdge, Qt::yellow); }},
    {"WheelOverTheHorizontalBarMovesThePictureThreeSteps", WidePictureForTheWheel,
     [](T &t) { t.wheel(OnHorizontalBar, 5).expectColourAt(LeftEdge, Qt::yellow); }},
    {"ShiftWheelOverThePictureMovesItAsOverTheHorizontalBar", WidePictureForTheWheel,
     [](T &t) { t.wheel(OnPicture, 5, true).expectColourAt(LeftEdge, Qt::yellow); }},
    {"SidewaysWheelOverThePictureMovesItAsOverTheHorizontalBar", WidePictureForTheWheel,
     [](T &t) { t.wheel(OnPicture, 7).expectColourAt(LeftEdge, Qt::yellow); }},
};

TEST_P(InputE2eTest, OneInputHasOneEffect)
{
    GetParam().inputAndEffect(*this);
}

INSTANTIATE_TEST_SUITE_P(Bindings, InputE2eTest, ::testing::ValuesIn(Bindings), RowName);

} // namespace
} // namespace dovrante::e2e
