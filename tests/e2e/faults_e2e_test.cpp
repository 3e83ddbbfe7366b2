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
    // Prepares the program's folder, the clipboard, the environment and the disks before the start.
    std::function<void(S &)> arrange;
    // What the person does once the window is there; nothing for faults met at start-up.
    std::function<void(S &)> act;
    // What the message must say (the file or printer and the reason); nothing when the program
    // must end at once instead, without a word.
    std::vector<std::string> says;
    friend void PrintTo(const Fault &fault, std::ostream *out) { *out << fault.name; }
};

// Each step returns the test, so that a fault's setting up reads as one line.
class FaultsE2eTest : public E2eTest, public ::testing::WithParamInterface<Fault> {
public:
    FaultsE2eTest() : E2eTest(DOVRANTE_E2E_EXECUTABLE) {}
    ~FaultsE2eTest() override
    {
        if (!m_disk.empty())
            run({"umount", "-l", m_disk});
        // A long job that Escape came too late for would keep the test queue busy for minutes.
        if (std::getenv("CUPS_SERVER"))
            run({"cancel", "-a", "Dovrante-PDF"});
    }

    std::string inHome(const std::string &name) const { return program.home() + "/" + name; }
    std::string bmpData() const { return program.file("Dovrante BMP Data"); }
    S &text(const std::string &text)
    {
        clipboard.put(text);
        return *this;
    }
    S &picture(int width = 64, int height = 48)
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
    // ulimit -f in bytes, and a data file of the given size.
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
    S &environment(const std::string &variable, const std::string &value)
    {
        program.setEnvironment(variable, value);
        return *this;
    }
    S &scheduler(FakeScheduler::Kind kind)
    {
        m_scheduler = std::make_unique<FakeScheduler>(kind);
        return environment("CUPS_SERVER", m_scheduler->path);
    }
    // A folder in the home on a disk of 64 kB of its own.
    S &smallDisk()
    {
        m_disk = inHome("small disk");
        fs::create_directories(m_disk);
        const int mounted =
            run({"mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", m_disk}).exitCode;
        EXPECT_EQ(mounted, 0) << "a small tmpfs cannot be mounted here (it needs root)";
        if (mounted != 0)
            m_disk.clear();
        return *this;
    }
    std::string diskFile() const { return inHome("small disk/clip.txt"); }

    // Takes the clipboard again once it holds nothing.
    void captureNothing()
    {
        clipboard.clear();
        program.pressKeys({"F5"});
    }
    void saveAs(const std::string &path)
    {
        program.click(ScreenLayout.cmdSaveAs);
        EXPECT_TRUE(program.answerDialog("Save As", path)) << "no Save As dialog";
    }
    // Escape in the print status window, the active window once CUPS has named the printer.
    void escapeInTheStatusWindow()
    {
        const std::string status = waitForWindowNamed("^Dovrante - RVMK", Patience, program.pid());
        EXPECT_FALSE(status.empty()) << "no status window";
        program.pressKeysIn(status, {"Escape"});
    }

    // Every job the test scheduler has had, printed or not.
    static std::string jobs() { return run({"lpstat", "-W", "all", "-o"}).output; }

    // The files the program may write, with their sizes and, for small ones, their contents, so
    // that a fault is seen to change none. A FIFO is no file here: one the program replaced
    // appears.
    std::string filesNow() const
    {
        std::string state;
        for (const std::string &folder : {program.folder(), program.home(), m_disk})
            if (!folder.empty())
                for (const auto &entry : fs::recursive_directory_iterator(folder))
                    // Qt's file dialog keeps its own state in the home's .config.
                    if (entry.is_regular_file() &&
                        entry.path().string().find("/.config/") == std::string::npos) {
                        state += entry.path().string() + " " + std::to_string(entry.file_size());
                        if (entry.file_size() < (1u << 20))
                            state += " " + std::to_string(std::hash<std::string>{}(
                                               readFile(entry.path().string())));
                        state += "\n";
                    }
        return state;
    }

private:
    std::unique_ptr<FakeScheduler> m_scheduler;
    Process m_owner;
    std::string m_disk;
};

TEST_P(FaultsE2eTest, IsToldOrEndsAtOnceAndNothingIsWritten)
{
    const Fault &fault = GetParam();
    fault.arrange(*this);
    std::string before = filesNow();
    std::string jobsBefore;

    program.start();
    if (fault.act) {
        ASSERT_FALSE(program.waitForWindow().empty()) << "no window";
        // Start-up has recorded a text clip by now, as it should.
        before = filesNow();
        jobsBefore = jobs();
        fault.act(*this);
    }

    if (fault.says.empty()) {
        EXPECT_TRUE(program.waitForExit()) << "the program still runs";
        EXPECT_TRUE(program.waitForWindowTitled("Dovrante", 0ms).empty()) << "a message came";
        EXPECT_EQ(jobs(), jobsBefore) << "a job was handed over";
    } else {
        const std::string box = program.waitForWindowTitled("Dovrante");
        ASSERT_FALSE(box.empty()) << "no message appeared";
        const std::string said = program.messageBoxText(box, clipboard);
        for (const std::string &part : fault.says)
            EXPECT_NE(said.find(part), std::string::npos) << "\"" << part << "\" not in: " << said;
        EXPECT_TRUE(waitForWindowNamed("^Dovrante - RVMK", 0ms).empty())
            << "a status window is open";
        program.pressKeysIn(box, {"Return"});
        EXPECT_TRUE(waitUntil([&] { return program.waitForWindowTitled("Dovrante", 0ms).empty(); }))
            << "a second message came";
        EXPECT_FALSE(program.waitForWindow().empty()) << "the window is gone";
        EXPECT_TRUE(program.running());
    }
    EXPECT_EQ(filesNow(), before) << "a file was written";
}

const auto Print = [](S &s) { s.program.click(ScreenLayout.cmdPrint); };
const std::vector<std::string> NotPrinted{
    "Nothing was printed", "CUPS scheduler at /tmp/dovrante-cups-", "did not answer"};
const std::vector<std::string> TooLarge{"Dovrante Data.txt", "File too large"};
const std::vector<std::string> NotAFile{"pipe.jpg", "not a regular file"};
const std::vector<std::string> NothingTaken{"offers text", "Nothing was taken"};
const std::vector<std::string> NothingCaptured{"found neither text nor a picture", "nothing to"};
// A text whose Save As record, but not its data file entry, is larger than the limit.
const std::string Text100k(100000, 't');
// One line without a space, hundreds of pages long.
const std::string LongLine(3'000'000, 'w');

const Fault Faults[] = {
    // The scheduler.
    {"SchedulerThatNeverAnswers", [](S &s) { s.scheduler(FakeScheduler::Kind::Silent).picture(); },
     Print, NotPrinted},
    {"SchedulerThatDropsEachConnection",
     [](S &s) { s.scheduler(FakeScheduler::Kind::Drops).picture(); }, Print, NotPrinted},
    // Every question is asked on the first connection; handing the job over waits in vain.
    {"SchedulerThatAnswersOnceThenGoesQuiet",
     [](S &s) { s.scheduler(FakeScheduler::Kind::AnswersOnce).picture(); },
     Print,
     {"Nothing was printed on Dovrante-PDF", "did not answer in time"}},
    {"NoScheduler",
     [](S &s) { s.environment("CUPS_SERVER", s.inHome("no-cups.sock")).picture(); },
     Print,
     {"(no default printer)", "cannot be reached"}},
    {"QueueNotAccepting",
     [](S &s) { s.environment("LPDEST", "Dovrante-Refusing").picture(); },
     Print,
     {"Dovrante-Refusing", "not accepting jobs"}},
    {"EscapeWhileASilentSchedulerIsAsked",
     [](S &s) { s.scheduler(FakeScheduler::Kind::Silent).picture(); },
     [](S &s) {
         Print(s);
         s.program.pressKeys({"Escape"});
     },
     {}},
    {"EscapeWhileTheJobWaitsForAQuietScheduler",
     [](S &s) { s.scheduler(FakeScheduler::Kind::AnswersOnce).picture(); },
     [](S &s) {
         Print(s);
         s.escapeInTheStatusWindow();
     },
     {}},
    {"EscapeWhileALongLineIsLaidOutForPrinting",
     [](S &s) { s.text(LongLine); },
     [](S &s) {
         Print(s);
         s.escapeInTheStatusWindow();
     },
     {}},

    // Files that are no files, and limits.
    {"ClipboardNamesAJpgThatIsAFifo",
     [](S &s) { s.fifo(s.inHome("pipe.jpg")).text(s.inHome("pipe.jpg")); }, nullptr, NotAFile},
    {"DataFileIsAFifo",
     [](S &s) { s.fifo(s.program.dataFile()).text("some text"); },
     nullptr,
     {"Dovrante Data.txt", "not a regular file"}},
    {"OpenOnAFifo", [](S &s) { s.fifo(s.inHome("pipe.jpg")).picture(); },
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

    // After a capture of nothing, and writes that do not fit.
    {"SaveAfterACaptureOfNothing", [](S &s) { s.text("shown before"); },
     [](S &s) {
         s.captureNothing();
         s.program.click(ScreenLayout.cmdSave);
     },
     NothingCaptured},
    {"PrintAfterACaptureOfNothing", [](S &s) { s.text("shown before"); },
     [](S &s) {
         s.captureNothing();
         Print(s);
     },
     NothingCaptured},
    {"SaveAsAfterACaptureOfNothing", [](S &s) { s.text("shown before"); },
     [](S &s) {
         s.captureNothing();
         s.program.click(ScreenLayout.cmdSaveAs);
     },
     NothingCaptured},
    {"TextSaveAsPastTheFileSizeLimit",
     [](S &s) { s.limit(static_cast<long>(Text100k.size()) + 250).text(Text100k); },
     [](S &s) { s.saveAs(s.inHome("clip.txt")); },
     {"clip.txt", "File too large"}},
    {"TextSaveAsOnAFullDisk",
     [](S &s) { s.smallDisk().text(Text100k); },
     [](S &s) { s.saveAs(s.diskFile()); },
     {"clip.txt", "No space left on device"}},
};

INSTANTIATE_TEST_SUITE_P(Faults, FaultsE2eTest, ::testing::ValuesIn(Faults), RowName);

TEST_F(FaultsE2eTest, OpenGoesOnPastASettingsFileThatIsAFifo)
{
    fs::create_directories(inHome(".config/Dovrante"));
    ASSERT_EQ(::mkfifo(inHome(".config/Dovrante/Dovrante.conf").c_str(), 0644), 0);
    startWith(painted(64, 48, Qt::darkCyan));
    program.click(ScreenLayout.cmdOpen);
    const std::string dialog = program.waitForWindowTitled("Open Clip File");
    ASSERT_FALSE(dialog.empty()) << "no Open dialog";
    program.pressKeysIn(dialog, {"Escape"});
    EXPECT_TRUE(program.running());
}

// A signal that ends the program while a large entry is appended to the data file.
struct Ending {
    const char *name;
    int signal;
    friend void PrintTo(const Ending &row, std::ostream *out) { *out << row.name; }
};

class EndingSignalE2eTest : public E2eTest, public ::testing::WithParamInterface<Ending> {};

TEST_P(EndingSignalE2eTest, LeavesTheEntryWholeOrNotThereAtAll)
{
    const std::string text(100'000'000, 'x');
    clipboard.put(text);
    program.start();
    // Sent as soon as the entry begins to be written, which takes a few tens of milliseconds.
    const auto size = [&] {
        std::error_code missing;
        const std::uintmax_t bytes = fs::file_size(program.dataFile(), missing);
        return missing ? 0 : bytes;
    };
    const auto deadline = std::chrono::steady_clock::now() + Patience;
    while (size() == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(100us);
    const std::uintmax_t sizeWhenSent = size();
    ASSERT_GT(sizeWhenSent, 0u) << "nothing was appended";
    ::kill(static_cast<pid_t>(program.pid()), GetParam().signal);
    ASSERT_TRUE(program.waitForExit()) << "the program did not end";

    const std::string rule = "\r\n" + std::string(79, '-') + "\r\n";
    const std::string data = readFile(program.dataFile());
    EXPECT_TRUE(data.empty() || (data.size() > text.size() && data.ends_with(rule)))
        << data.size() << " bytes left, " << sizeWhenSent << " when the signal was sent";
}

const Ending Endings[] = {{"Terminate", SIGTERM}, {"Interrupt", SIGINT}, {"HangUp", SIGHUP}};

INSTANTIATE_TEST_SUITE_P(Endings, EndingSignalE2eTest, ::testing::ValuesIn(Endings), RowName);

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
