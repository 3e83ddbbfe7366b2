#include "e2e_harness.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <sys/stat.h>

namespace dovrante::e2e {
namespace {

namespace fs = std::filesystem;
using Behaviour = FakeScheduler::Behaviour;

// Everything one fault needs, ended with it. Each step returns the scene, for the next.
struct Scene {
    XClipboard clipboard;
    ProgramUnderTest program{DOVRANTE_E2E_EXECUTABLE};
    std::unique_ptr<FakeScheduler> scheduler;
    std::unique_ptr<SilentClipboardOwner> owner;

    std::string bmpData() const { return program.file("Dovrante BMP Data"); }
    std::string inHome(const std::string &name) const { return program.home() + "/" + name; }
    Scene &text(const std::string &text)
    {
        clipboard.putText(text);
        return *this;
    }
    Scene &picture(int width, int height)
    {
        clipboard.putImage(painted(width, height, Qt::darkCyan), inHome("clip.png"));
        return *this;
    }
    Scene &folder(const std::string &path)
    {
        fs::create_directories(path);
        return *this;
    }
    Scene &fifo(const std::string &path)
    {
        EXPECT_EQ(::mkfifo(path.c_str(), 0644), 0) << path;
        return *this;
    }
    // A limit on the size of files, and a data file of that size.
    Scene &limit(long bytes, std::size_t dataBytes = 0)
    {
        program.setFileSizeLimit(bytes);
        if (dataBytes > 0)
            std::ofstream(program.dataFile()) << std::string(dataBytes, 'x');
        return *this;
    }
    Scene &ownedBy(bool ownerDiesWhenAsked)
    {
        owner = std::make_unique<SilentClipboardOwner>(ownerDiesWhenAsked);
        return *this;
    }
    Scene &printOn(Behaviour behaviour)
    {
        scheduler = std::make_unique<FakeScheduler>(behaviour);
        program.setEnvironment("CUPS_SERVER", scheduler->socketPath());
        return picture(64, 48);
    }
};

// One fault and what the program must make of it.
struct Fault {
    std::string name;
    // Prepares the program's folder, the clipboard and the environment before the start.
    std::function<void(Scene &)> arrange;
    // What the user does once the window is there; nothing for faults met at start-up.
    std::function<void(Scene &)> act;
    // What the message must say (the file or printer and the reason).
    std::vector<std::string> says;
};

// Test names carry the fault's name; its functions say nothing when printed.
void PrintTo(const Fault &fault, std::ostream *out)
{
    *out << fault.name;
}

// The data file's contents, or how it stands when it is not a file to read.
std::string dataState(const Scene &s)
{
    const fs::path path = s.program.dataFile();
    return fs::is_fifo(path) ? "a FIFO" : fs::exists(path) ? readFile(path) : "missing";
}

using FaultsE2eTest = ::testing::TestWithParam<Fault>;

TEST_P(FaultsE2eTest, IsReportedWithinSecondsAndLeavesTheProgramAndItsDataAsTheyWere)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display";
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

const auto Print = [](Scene &s) { s.program.click(ScreenLayout.cmdPrint); };
const std::vector<std::string> NotPrinted{
    "Nothing was printed", "CUPS scheduler at /tmp/dovrante-cups-", "did not answer"};
const std::vector<std::string> TooLarge{"Dovrante Data.txt", "File too large"};
const std::vector<std::string> NotAFile{"pipe.jpg", "not a regular file"};

const Fault Faults[] = {
    {"SchedulerThatNeverAnswers", [](Scene &s) { s.printOn(Behaviour::NeverAnswers); }, Print,
     NotPrinted},
    {"SchedulerThatDropsEachConnection", [](Scene &s) { s.printOn(Behaviour::DropsConnections); },
     Print, NotPrinted},
    {"ClipboardNamesAJpgThatIsAFifo",
     [](Scene &s) { s.fifo(s.inHome("pipe.jpg")).text(s.inHome("pipe.jpg")); }, nullptr, NotAFile},
    {"DataFileIsAFifo",
     [](Scene &s) { s.fifo(s.program.dataFile()).text("some text"); },
     nullptr,
     {"Dovrante Data.txt", "not a regular file"}},
    {"OpenOnAFifo", [](Scene &s) { s.fifo(s.inHome("pipe.jpg")).picture(64, 48); },
     [](Scene &s) {
         s.program.click(ScreenLayout.cmdOpen);
         ASSERT_TRUE(s.program.answerDialog("Open Clip File", s.inHome("pipe.jpg")));
     },
     NotAFile},
    {"DataFileAlreadyOverTheFileSizeLimit",
     [](Scene &s) { s.limit(100000, 150000).text("some text"); }, nullptr, TooLarge},
    {"EntryThatCrossesTheFileSizeLimit",
     [](Scene &s) { s.limit(100000, 99990).text("some text that does not fit under the limit"); },
     nullptr, TooLarge},
    // The picture is 160 kB as a bitmap.
    {"PictureSavedPastTheFileSizeLimit",
     [](Scene &s) { s.folder(s.bmpData()).limit(50000).picture(200, 200); },
     [](Scene &s) { s.program.click(ScreenLayout.cmdSave); },
     {"Dovrante BMP Data", "File too large"}},
    {"ClipboardOwnerThatNeverHandsTheTextOver",
     [](Scene &s) { s.ownedBy(false); },
     nullptr,
     {"offers text", "Nothing was taken"}},
    {"ClipboardOwnerThatEndsWhenAskedForTheText",
     [](Scene &s) { s.ownedBy(true); },
     nullptr,
     {"offers text", "Nothing was taken"}},
    {"ClipboardNamesAJpgThatIsAFolder",
     [](Scene &s) { s.folder(s.inHome("pictures.jpg")).text(s.inHome("pictures.jpg")); },
     nullptr,
     {"pictures.jpg", "is a folder"}},
};

INSTANTIATE_TEST_SUITE_P(Faults, FaultsE2eTest, ::testing::ValuesIn(Faults), RowName);

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

INSTANTIATE_TEST_SUITE_P(Sessions, NoDisplayE2eTest, ::testing::ValuesIn(Sessions), RowName);

} // namespace
} // namespace dovrante::e2e
