#include "e2e_harness.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <sys/stat.h>

namespace dovrante::e2e {
namespace {

namespace fs = std::filesystem;

const StartupLayout &Layout = ScreenLayout;

// One fault and what the program must make of it.
struct Fault {
    std::string name;
    // Prepares the program's folder, the clipboard and the environment before the start.
    std::function<void(struct Scene &)> arrange;
    // What the user does once the window is there; nothing for faults met at start-up.
    std::function<void(Scene &)> act;
    // What the message must say (the file or printer and the reason).
    std::vector<std::string> says;
};

// Everything one fault needs, ended with it.
struct Scene {
    XClipboard clipboard;
    ProgramUnderTest program{DOVRANTE_E2E_EXECUTABLE};
    std::unique_ptr<FakeScheduler> scheduler;
    std::unique_ptr<SilentClipboardOwner> owner;

    std::string dataFile() const { return program.dataFile(); }
    std::string bmpData() const { return program.file("Dovrante BMP Data"); }
    std::string inHome(const std::string &name) const { return program.home() + "/" + name; }

    void putPicture(int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        clipboard.putImage(image, inHome("clip.png"));
    }
    void click(const Place &place) { program.click(place); }
    void makeFifo(const std::string &path) { ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0) << path; }
    void fillDataFile(std::size_t bytes) { std::ofstream(dataFile()) << std::string(bytes, 'x'); }
};

// Test names carry the fault's name; its functions say nothing when printed.
void PrintTo(const Fault &fault, std::ostream *out)
{
    *out << fault.name;
}

void printOn(Scene &s, FakeScheduler::Behaviour behaviour)
{
    s.scheduler = std::make_unique<FakeScheduler>(behaviour);
    s.program.setEnvironment("CUPS_SERVER", s.scheduler->socketPath());
    s.putPicture(64, 48);
}

// The data file's contents, or how it stands when it is not a file to read.
std::string dataState(const Scene &s)
{
    const fs::path path = s.dataFile();
    if (fs::is_fifo(path))
        return "a FIFO";
    return fs::exists(path) ? readFile(path) : "missing";
}

class FaultsE2eTest : public ::testing::TestWithParam<Fault> {
protected:
    void SetUp() override { ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display"; }
};

TEST_P(FaultsE2eTest, IsReportedWithinSecondsAndLeavesTheProgramAndItsDataAsTheyWere)
{
    const Fault &fault = GetParam();
    Scene s;
    fault.arrange(s);
    const std::string before = dataState(s);

    s.program.start();
    if (fault.act) {
        ASSERT_FALSE(s.program.waitForWindow().empty());
        fault.act(s);
    }
    const std::string text = s.program.closeBox("Dovrante", s.clipboard, std::chrono::seconds(20));
    ASSERT_NE(text.rfind("(no box", 0), 0u) << text;
    for (const std::string &part : fault.says)
        EXPECT_NE(text.find(part), std::string::npos) << "\"" << part << "\" missing in: " << text;

    EXPECT_FALSE(s.program.waitForWindow().empty()) << "the window is gone";
    EXPECT_TRUE(s.program.running());
    EXPECT_EQ(dataState(s), before) << "the data file changed";
    if (fs::exists(s.bmpData())) {
        EXPECT_TRUE(fs::is_empty(s.bmpData())) << "a partial picture was left";
    }
}

const std::vector<Fault> Faults = {
    {"SchedulerThatNeverAnswers",
     [](Scene &s) { printOn(s, FakeScheduler::Behaviour::NeverAnswers); },
     [](Scene &s) { s.click(Layout.cmdPrint); },
     {"Nothing was printed", "CUPS scheduler at /tmp/dovrante-cups-", "did not answer"}},
    {"SchedulerThatDropsEachConnection",
     [](Scene &s) { printOn(s, FakeScheduler::Behaviour::DropsConnections); },
     [](Scene &s) { s.click(Layout.cmdPrint); },
     {"Nothing was printed", "CUPS scheduler at /tmp/dovrante-cups-", "did not answer"}},
    {"ClipboardNamesAJpgThatIsAFifo",
     [](Scene &s) {
         s.makeFifo(s.inHome("pipe.jpg"));
         s.clipboard.putText(s.inHome("pipe.jpg"));
     },
     nullptr,
     {"pipe.jpg", "not a regular file"}},
    {"DataFileIsAFifo",
     [](Scene &s) {
         s.makeFifo(s.dataFile());
         s.clipboard.putText("some text");
     },
     nullptr,
     {"Dovrante Data.txt", "not a regular file"}},
    {"OpenOnAFifo",
     [](Scene &s) {
         s.makeFifo(s.inHome("pipe.jpg"));
         s.putPicture(64, 48);
     },
     [](Scene &s) {
         s.click(Layout.cmdOpen);
         ASSERT_TRUE(s.program.answerDialog("Open Clip File", s.inHome("pipe.jpg")));
     },
     {"pipe.jpg", "not a regular file"}},
    {"DataFileAlreadyOverTheFileSizeLimit",
     [](Scene &s) {
         s.fillDataFile(150000);
         s.program.setFileSizeLimit(100000);
         s.clipboard.putText("some text");
     },
     nullptr,
     {"Dovrante Data.txt", "File too large"}},
    {"EntryThatCrossesTheFileSizeLimit",
     [](Scene &s) {
         s.fillDataFile(99990);
         s.program.setFileSizeLimit(100000);
         s.clipboard.putText("some text that does not fit under the limit");
     },
     nullptr,
     {"Dovrante Data.txt", "File too large"}},
    {"PictureSavedPastTheFileSizeLimit",
     [](Scene &s) {
         fs::create_directories(s.bmpData());
         s.program.setFileSizeLimit(50000);
         s.putPicture(200, 200); // 160 kB as a bitmap
     },
     [](Scene &s) { s.click(Layout.cmdSave); },
     {"Dovrante BMP Data", "File too large"}},
    {"ClipboardOwnerThatNeverHandsTheTextOver",
     [](Scene &s) { s.owner = std::make_unique<SilentClipboardOwner>(false); },
     nullptr,
     {"offers text", "Nothing was taken"}},
    {"ClipboardOwnerThatEndsWhenAskedForTheText",
     [](Scene &s) { s.owner = std::make_unique<SilentClipboardOwner>(true); },
     nullptr,
     {"offers text", "Nothing was taken"}},
    {"ClipboardNamesAJpgThatIsAFolder",
     [](Scene &s) {
         fs::create_directories(s.inHome("pictures.jpg"));
         s.clipboard.putText(s.inHome("pictures.jpg"));
     },
     nullptr,
     {"pictures.jpg", "is a folder"}},
};

INSTANTIATE_TEST_SUITE_P(Faults, FaultsE2eTest, ::testing::ValuesIn(Faults),
                         [](const ::testing::TestParamInfo<Fault> &fault) {
                             return fault.param.name;
                         });

// Started where it cannot show a window, it says why on its error output and fails.
struct Session {
    const char *name;
    std::vector<std::string> environment; // for env: "-u NAME" removes, then "NAME=value" sets
    std::vector<std::string> says;
};

void PrintTo(const Session &session, std::ostream *out)
{
    *out << session.name;
}

class NoDisplayE2eTest : public ::testing::TestWithParam<Session> {};

TEST_P(NoDisplayE2eTest, ItSaysWhyAndEndsWithAFailure)
{
    char pattern[] = "/tmp/dovrante-e2e-XXXXXX";
    const std::string home = ::mkdtemp(pattern);
    std::vector<std::string> argv{"env"};
    argv.insert(argv.end(), GetParam().environment.begin(), GetParam().environment.end());
    argv.insert(argv.end(), {"HOME=" + home, "XDG_RUNTIME_DIR=" + home, "sh", "-c",
                             "exec \"$0\" 2>&1", DOVRANTE_E2E_EXECUTABLE});
    const CommandResult result = run(argv);
    fs::remove_all(home);
    EXPECT_EQ(result.exitCode, 1);
    for (const std::string &part : GetParam().says)
        EXPECT_NE(result.output.find(part), std::string::npos) << result.output;
}

const Session Sessions[] = {
    {"NoDisplayAtAll",
     {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM", "-u", "XDG_SESSION_TYPE"},
     {"no display could be opened"}},
    // A Wayland display name that leads nowhere stands in for a compositor without XWayland.
    {"WaylandWithoutXWayland",
     {"-u", "DISPLAY", "-u", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE=wayland",
      "WAYLAND_DISPLAY=dovrante-test-no-compositor"},
     {"no XWayland", "Start Dovrante in a session with XWayland"}},
};

INSTANTIATE_TEST_SUITE_P(Sessions, NoDisplayE2eTest, ::testing::ValuesIn(Sessions),
                         [](const auto &row) { return std::string(row.param.name); });

} // namespace
} // namespace dovrante::e2e
