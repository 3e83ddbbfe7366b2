#include "e2e_harness.h"

#include <filesystem>
#include <memory>
#include <sys/stat.h>

namespace dovrante::e2e {
namespace {

namespace fs = std::filesystem;

class PrintAndFileFaultsE2eTest;
using F = PrintAndFileFaultsE2eTest;

// A fault met once the window is there, and what the program makes of it.
struct Fault {
    std::string name;
    // Prepares the clipboard, the environment and the disks before the start.
    std::function<void(F &)> arrange;
    // What the person does.
    std::function<void(F &)> act;
    // What the message says; nothing when the program must end at once instead, without a word.
    std::vector<std::string> says;
    friend void PrintTo(const Fault &fault, std::ostream *out) { *out << fault.name; }
};

class PrintAndFileFaultsE2eTest : public E2eTest, public ::testing::WithParamInterface<Fault> {
public:
    PrintAndFileFaultsE2eTest() : E2eTest(DOVRANTE_E2E_EXECUTABLE) {}
    ~PrintAndFileFaultsE2eTest() override
    {
        if (!m_disk.empty())
            run({"umount", "-l", m_disk});
        // A long job that Escape came too late for would keep the test queue busy for minutes.
        if (std::getenv("CUPS_SERVER"))
            run({"cancel", "-a", "Dovrante-PDF"});
    }

    std::string inHome(const std::string &name) const { return program.home() + "/" + name; }
    F &text(const std::string &text)
    {
        clipboard.put(text);
        return *this;
    }
    F &picture()
    {
        clipboard.put(painted(64, 48, Qt::darkCyan));
        return *this;
    }
    F &scheduler(FakeScheduler::Kind kind)
    {
        m_scheduler = std::make_unique<FakeScheduler>(kind);
        program.setEnvironment("CUPS_SERVER", m_scheduler->path);
        return *this;
    }
    // ulimit -f, in bytes.
    F &limit(long bytes)
    {
        program.setFileSizeLimit(bytes);
        return *this;
    }
    // A folder in the home on a disk of 64 kB of its own.
    F &smallDisk()
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

    // The files the program may write and their sizes, so that a fault is seen to change none.
    std::string filesNow() const
    {
        std::string state;
        for (const std::string &folder : {program.folder(), program.home(), m_disk})
            if (!folder.empty())
                for (const auto &entry : fs::recursive_directory_iterator(folder))
                    // Qt's file dialog keeps its own state in the home's .config.
                    if (entry.is_regular_file() &&
                        entry.path().string().find("/.config/") == std::string::npos)
                        state +=
                            entry.path().string() + " " + std::to_string(entry.file_size()) + "\n";
        return state;
    }

private:
    std::unique_ptr<FakeScheduler> m_scheduler;
    std::string m_disk;
};

TEST_P(PrintAndFileFaultsE2eTest, IsToldOrEndsAtOnceAndNothingIsWritten)
{
    const Fault &fault = GetParam();
    fault.arrange(*this);
    program.start();
    ASSERT_FALSE(program.waitForWindow().empty()) << "no window";
    const std::string before = filesNow();
    const std::string jobsBefore = jobs();
    fault.act(*this);

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
        program.pressKeysIn(box, {"Return"});
        EXPECT_TRUE(program.running());
    }
    EXPECT_EQ(filesNow(), before) << "a file was written";
}

const auto Print = [](F &f) { f.program.click(ScreenLayout.cmdPrint); };
const std::vector<std::string> NothingCaptured{"found neither text nor a picture", "nothing to"};
// A text whose Save As record, but not its data file entry, is larger than the limit.
const std::string Text100k(100000, 't');
// One line without a space, hundreds of pages long.
const std::string LongLine(3'000'000, 'w');

const Fault Faults[] = {
    // Every question is asked on the first connection; handing the job over waits in vain.
    {"SchedulerThatAnswersOnceThenGoesQuiet",
     [](F &f) { f.scheduler(FakeScheduler::Kind::AnswersOnce).picture(); },
     Print,
     {"Nothing was printed on Dovrante-PDF", "did not answer in time"}},
    {"EscapeWhileASilentSchedulerIsAsked",
     [](F &f) { f.scheduler(FakeScheduler::Kind::Silent).picture(); },
     [](F &f) {
         Print(f);
         f.program.pressKeys({"Escape"});
     },
     {}},
    {"EscapeWhileTheJobWaitsForAQuietScheduler",
     [](F &f) { f.scheduler(FakeScheduler::Kind::AnswersOnce).picture(); },
     [](F &f) {
         Print(f);
         f.escapeInTheStatusWindow();
     },
     {}},
    {"EscapeWhileALongLineIsLaidOutForPrinting",
     [](F &f) { f.text(LongLine); },
     [](F &f) {
         Print(f);
         f.escapeInTheStatusWindow();
     },
     {}},
    {"SaveAfterACaptureOfNothing", [](F &f) { f.text("shown before"); },
     [](F &f) {
         f.captureNothing();
         f.program.click(ScreenLayout.cmdSave);
     },
     NothingCaptured},
    {"PrintAfterACaptureOfNothing", [](F &f) { f.text("shown before"); },
     [](F &f) {
         f.captureNothing();
         Print(f);
     },
     NothingCaptured},
    {"SaveAsAfterACaptureOfNothing", [](F &f) { f.text("shown before"); },
     [](F &f) {
         f.captureNothing();
         f.program.click(ScreenLayout.cmdSaveAs);
     },
     NothingCaptured},
    {"TextSaveAsPastTheFileSizeLimit",
     [](F &f) { f.limit(static_cast<long>(Text100k.size()) + 250).text(Text100k); },
     [](F &f) { f.saveAs(f.inHome("clip.txt")); },
     {"clip.txt", "File too large"}},
    {"TextSaveAsOnAFullDisk",
     [](F &f) { f.smallDisk().text(Text100k); },
     [](F &f) { f.saveAs(f.diskFile()); },
     {"clip.txt", "No space left on device"}},
};

INSTANTIATE_TEST_SUITE_P(Faults, PrintAndFileFaultsE2eTest, ::testing::ValuesIn(Faults), RowName);

TEST_F(PrintAndFileFaultsE2eTest, OpenGoesOnPastASettingsFileThatIsAFifo)
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

} // namespace
} // namespace dovrante::e2e
