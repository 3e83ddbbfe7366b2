#include "e2e_harness.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <sys/stat.h>

namespace dovrante::e2e {
namespace {

namespace fs = std::filesystem;

class FaultsE2eTest;
using S = FaultsE2eTest;

// One fault and what the program must make of it.
struct Fault {
    std::string name;
    // Prepares the program's folder, the clipboard and the environment before the start.
    std::function<void(S &)> arrange;
    // What the user does once the window is there; nothing for faults met at start-up.
    std::function<void(S &)> act;
    // What the message must say (the file or printer and the reason).
    std::vector<std::string> says;
    friend void PrintTo(const Fault &fault, std::ostream *out) { *out << fault.name; }
};

// Each step returns the test, so that a fault's setting up reads as one line.
class FaultsE2eTest : public E2eTest, public ::testing::WithParamInterface<Fault> {
public:
    FaultsE2eTest() : E2eTest(DOVRANTE_E2E_EXECUTABLE) {}

    std::string inHome(const std::string &name) const { return program.home() + "/" + name; }
    std::string bmpData() const { return program.file("Dovrante BMP Data"); }
    S &text(const std::string &text)
    {
        clipboard.put(text);
        return *this;
    }
    S &picture(int width, int height)
    {
        clipboard.put(painted(width, height, Qt::darkCyan));
        return *this;
    }
    S &folder(const std::string &path)
    {
        fs::create_directories(path);
        return *this;
    }
    S &fifo(const std::string &path)
    {
        EXPECT_EQ(::mkfifo(path.c_str(), 0644), 0) << path;
        return *this;
    }
    // A limit on the size of files, and a data file of that size.
    S &limit(long bytes, std::size_t dataBytes = 0)
    {
        program.setFileSizeLimit(bytes);
        if (dataBytes > 0)
            std::ofstream(program.dataFile()) << std::string(dataBytes, 'x');
        return *this;
    }
    // A clipboard owner that offers text and, asked for it, says nothing or ends.
    S &ownedBy(const char *owner)
    {
        launch(m_owner, {DOVRANTE_HOSTILE_OWNER, owner});
        waitUntil(
            [&] { return clipboard.read("TARGETS").find("UTF8_STRING") != std::string::npos; });
        return *this;
    }
    // A picture to print, with this in the environment.
    S &printWith(const std::string &variable, const std::string &value)
    {
        program.setEnvironment(variable, value);
        return picture(64, 48);
    }
    S &printOn(bool schedulerDrops)
    {
        m_scheduler = std::make_unique<FakeScheduler>(schedulerDrops ? FakeScheduler::Kind::Drops
                                                                     : FakeScheduler::Kind::Silent);
        return printWith("CUPS_SERVER", m_scheduler->path);
    }

    // The data file's contents, or how it stands when it is not a file to read.
    std::string dataState() const
    {
        const fs::path path = program.dataFile();
        return fs::is_fifo(path) ? "a FIFO" : fs::exists(path) ? readFile(path) : "missing";
    }

private:
    std::unique_ptr<FakeScheduler> m_scheduler;
    Process m_owner;
};

TEST_P(FaultsE2eTest, IsReportedWithinSecondsAndLeavesTheProgramAndItsDataAsTheyWere)
{
    const Fault &fault = GetParam();
    fault.arrange(*this);
    const std::string before = dataState();

    program.start();
    if (fault.act) {
        ASSERT_FALSE(program.waitForWindow().empty());
        fault.act(*this);
    }
    const std::string box = program.waitForWindowTitled("Dovrante");
    ASSERT_FALSE(box.empty()) << "no message appeared";
    const std::string text = program.messageBoxText(box, clipboard);
    for (const std::string &part : fault.says)
        EXPECT_NE(text.find(part), std::string::npos) << "\"" << part << "\" missing in: " << text;
    EXPECT_TRUE(waitForWindowNamed("^Dovrante - RVMK", 0ms).empty()) << "a status window is open";
    program.pressKeysIn(box, {"Return"});
    EXPECT_TRUE(waitUntil([&] { return program.waitForWindowTitled("Dovrante", 0ms).empty(); }))
        << "a second message came";
    EXPECT_FALSE(program.waitForWindow().empty()) << "the window is gone";
    EXPECT_TRUE(program.running());
    EXPECT_EQ(dataState(), before) << "the data file changed";
    if (fs::exists(bmpData())) {
        EXPECT_TRUE(fs::is_empty(bmpData())) << "a partial picture was left";
    }
}

const auto Print = [](S &s) { s.program.click(ScreenLayout.cmdPrint); };
const std::vector<std::string> NotPrinted{
    "Nothing was printed", "CUPS scheduler at /tmp/dovrante-cups-", "did not answer"};
const std::vector<std::string> TooLarge{"Dovrante Data.txt", "File too large"};
const std::vector<std::string> NotAFile{"pipe.jpg", "not a regular file"};
const std::vector<std::string> NothingTaken{"offers text", "Nothing was taken"};

const Fault Faults[] = {
    {"SchedulerThatNeverAnswers", [](S &s) { s.printOn(false); }, Print, NotPrinted},
    {"SchedulerThatDropsEachConnection", [](S &s) { s.printOn(true); }, Print, NotPrinted},
    {"NoScheduler",
     [](S &s) { s.printWith("CUPS_SERVER", s.inHome("no-cups.sock")); },
     Print,
     {"(no default printer)", "cannot be reached"}},
    {"QueueNotAccepting",
     [](S &s) { s.printWith("LPDEST", "Dovrante-Refusing"); },
     Print,
     {"Dovrante-Refusing", "not accepting jobs"}},
    {"ClipboardNamesAJpgThatIsAFifo",
     [](S &s) { s.fifo(s.inHome("pipe.jpg")).text(s.inHome("pipe.jpg")); }, nullptr, NotAFile},
    {"DataFileIsAFifo",
     [](S &s) { s.fifo(s.program.dataFile()).text("some text"); },
     nullptr,
     {"Dovrante Data.txt", "not a regular file"}},
    {"OpenOnAFifo", [](S &s) { s.fifo(s.inHome("pipe.jpg")).picture(64, 48); },
     [](S &s) {
         s.program.click(ScreenLayout.cmdOpen);
         ASSERT_TRUE(s.program.answerDialog("Open Clip File", s.inHome("pipe.jpg")));
     },
     NotAFile},
    {"DataFileAlreadyOverTheFileSizeLimit", [](S &s) { s.limit(100000, 150000).text("some text"); },
     nullptr, TooLarge},
    {"EntryThatCrossesTheFileSizeLimit",
     [](S &s) { s.limit(100000, 99990).text("some text that does not fit under the limit"); },
     nullptr, TooLarge},
    // The picture is 160 kB as a bitmap.
    {"PictureSavedPastTheFileSizeLimit",
     [](S &s) { s.folder(s.bmpData()).limit(50000).picture(200, 200); },
     [](S &s) { s.program.click(ScreenLayout.cmdSave); },
     {"Dovrante BMP Data", "File too large"}},
    {"ClipboardOwnerThatNeverHandsTheTextOver", [](S &s) { s.ownedBy("silent"); }, nullptr,
     NothingTaken},
    // Decoded, it is no text at all.
    {"TextThatIsAByteOrderMarkAlone", [](S &s) { s.text("\xEF\xBB\xBF"); }, nullptr, NothingTaken},
    {"ClipboardOwnerThatEndsWhenAskedForTheText", [](S &s) { s.ownedBy("dies"); }, nullptr,
     NothingTaken},
    {"ClipboardNamesAJpgThatIsAFolder",
     [](S &s) { s.folder(s.inHome("pictures.jpg")).text(s.inHome("pictures.jpg")); },
     nullptr,
     {"pictures.jpg", "is a folder"}},
};

INSTANTIATE_TEST_SUITE_P(Faults, FaultsE2eTest, ::testing::ValuesIn(Faults), RowName);

// Started where it cannot show a window, it says why on its error output and fails.
struct Session {
    const char *name;
    std::vector<std::string> environment; // for env: "-u NAME" removes, then "NAME=value" sets
    std::vector<std::string> says;
    bool saysNothingElse = false; // nothing of Qt's besides
    friend void PrintTo(const Session &row, std::ostream *out) { *out << row.name; }
};

using NoDisplayE2eTest = ::testing::TestWithParam<Session>;

TEST_P(NoDisplayE2eTest, ItSaysWhyAndEndsWithAFailure)
{
    const QTemporaryDir folder("/tmp/dovrante-e2e-XXXXXX");
    const std::string home = folder.path().toStdString();
    std::vector<std::string> argv{"env"};
    argv.insert(argv.end(), GetParam().environment.begin(), GetParam().environment.end());
    argv.insert(argv.end(), {"HOME=" + home, "XDG_RUNTIME_DIR=" + home, "sh", "-c",
                             "exec \"$0\" 2>&1", DOVRANTE_E2E_EXECUTABLE});
    const CommandResult result = run(argv);
    EXPECT_EQ(result.exitCode, 1);
    for (const std::string &part : GetParam().says)
        EXPECT_NE(result.output.find(part), std::string::npos) << result.output;
    if (GetParam().saysNothingElse) {
        EXPECT_EQ(lines(result.output).size(), 1u) << result.output;
    }
}

const Session Sessions[] = {
    {"NoDisplayAtAll",
     {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM", "-u", "XDG_SESSION_TYPE"},
     {"no display could be opened"},
     true},
    // A Wayland display name that leads nowhere stands in for a compositor without XWayland.
    {"WaylandWithoutXWayland",
     {"-u", "DISPLAY", "-u", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE=wayland",
      "WAYLAND_DISPLAY=dovrante-test-no-compositor"},
     {"no XWayland", "Start Dovrante in a session with XWayland"}},
};

INSTANTIATE_TEST_SUITE_P(Sessions, NoDisplayE2eTest, ::testing::ValuesIn(Sessions), RowName);

} // namespace
} // namespace dovrante::e2e
