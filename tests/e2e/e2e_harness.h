#pragma once

// Drives the real program on the X display named by DISPLAY: starts it from a fresh program
// folder, fills the real clipboard with xclip, presses real keys with xdotool and reads the window.

#include "app/toolbar_layout.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace dovrante::e2e {

struct CommandResult {
    int exitCode = -1;
    std::string output;
};

// Runs a command to its end with the input on its standard input; what it printed on standard
// output (its error output is dropped).
CommandResult run(const std::vector<std::string> &argv, const std::string &input = {});
// Polls `done` until it holds or the time is up.
bool waitUntil(const std::function<bool()> &done,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Waits for a visible window whose name matches the pattern, of that process when a pid is given,
// and for which `fits` holds; its id, or empty. With no time it only looks.
std::string waitForWindowNamed(const std::string &pattern,
                               std::chrono::milliseconds timeout = std::chrono::seconds(10),
                               long long pid = 0,
                               const std::function<bool(const std::string &)> &fits = {});

// A process that ends with its object. QProcess needs no application object.
class Process : public QProcess {
public:
    ~Process() override
    {
        kill();
        waitForFinished();
    }
};

// The X clipboard, owned by xclip processes that this object ends.
class XClipboard {
public:
    XClipboard() { clear(); }
    ~XClipboard() { signalOwners(SIGTERM); }
    // No owner: nothing on offer.
    void clear();
    void putText(const std::string &text);
    void putFile(const std::string &path, const std::string &mimeType);
    // Saves the image as a PNG at the path and puts that on the clipboard.
    void putImage(const QImage &image, const std::string &path);
    // Makes the owner stop answering, as a hung program would, and lets it go on again.
    void freezeOwner() { signalOwners(SIGSTOP); }
    void thawOwner() { signalOwners(SIGCONT); }
    // What the clipboard's owner hands out for the type, or an empty string.
    std::string read(const std::string &mimeType = "UTF8_STRING");

private:
    // Signals the xclip servers of this display (not those of others); false when there is none.
    static bool signalOwners(int signal);
};

// The program copied into a fresh folder of its own, run there with its own home folder.
class ProgramUnderTest {
public:
    // The build's program, or another build made for a test of its own.
    explicit ProgramUnderTest(const std::string &builtExecutable = DOVRANTE_EXECUTABLE);
    // An installed program, run where it lies and started by a command of its own (a link on
    // PATH, say); only its home folder is fresh.
    struct Installed {
        std::string folder;
        std::string startCommand;
    };
    explicit ProgramUnderTest(const Installed &installed);

    // The folder holding the executable and its files.
    const std::string &folder() const { return m_folder; }
    const std::string &home() const { return m_home; }
    std::string executable() const { return m_folder + "/Dovrante"; }
    std::string file(const std::string &name) const { return m_folder + "/" + name; }
    std::string dataFile() const { return file("Dovrante Data.txt"); }

    // Sets or, with no value, removes a variable in the environment of the next start.
    void setEnvironment(const std::string &name, const std::optional<std::string> &value)
    {
        m_environment.emplace_back(name, value);
    }
    // Starts the program under a file size limit (ulimit -f), in bytes.
    void setFileSizeLimit(long bytes) { m_fileSizeLimit = bytes; }
    void start();
    // Waits until the program's main window is mapped; its X window id.
    std::string waitForWindow(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    bool running()
    {
        return m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(0);
    }
    // Waits for the program to end by itself; false when it is still running at the deadline.
    bool waitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        return waitUntil([this] { return !running(); }, timeout);
    }

    std::string title();
    // Waits for a window of the program with exactly this title (a message box); its id.
    std::string waitForWindowTitled(const std::string &title,
                                    std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        return waitForWindowNamed("^" + title + "$", timeout, m_process.processId());
    }
    // The text of a message box, copied with Ctrl+C as the box offers.
    std::string messageBoxText(const std::string &window, XClipboard &clipboard);
    // Waits for a message box of that title, reads its text and closes it with Enter; the text,
    // or "(no box titled ...)" when none came.
    std::string closeBox(const std::string &title, XClipboard &clipboard,
                         std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Waits for the dialog of that title, types the path into it and presses Enter; false when
    // no such dialog came.
    bool answerDialog(const std::string &title, const std::string &path);
    // Types the text, character by character, into the given window.
    void typeIn(const std::string &window, const std::string &text);
    // Types the xdotool key names into the given window.
    void pressKeysIn(const std::string &window, const std::vector<std::string> &keys);
    // Clicks a mouse button at a place on the screen.
    void clickAt(int x, int y, int button = 1);
    // Clicks the middle of a control of the window's layout.
    void click(const Place &place, int button = 1);
    // Gives the main window the keyboard focus, then types the xdotool key names.
    void pressKeys(const std::vector<std::string> &keys) { pressKeysIn(m_window, keys); }

private:
    QTemporaryDir m_root{"/tmp/dovrante-e2e-XXXXXX"}; // removed once the program has ended
    std::string m_folder, m_home, m_startCommand, m_window;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_environment;
    std::optional<long> m_fileSizeLimit;
    Process m_process;
};

// A CUPS scheduler on a Unix socket of its own that takes connections and then either never
// answers or drops them at once.
class FakeScheduler {
public:
    enum class Behaviour { NeverAnswers, DropsConnections };
    explicit FakeScheduler(Behaviour behaviour);
    ~FakeScheduler();
    FakeScheduler(const FakeScheduler &) = delete;
    FakeScheduler &operator=(const FakeScheduler &) = delete;
    // For CUPS_SERVER.
    const std::string &socketPath() const { return m_path; }

private:
    QTemporaryDir m_folder{"/tmp/dovrante-cups-XXXXXX"};
    std::string m_path = m_folder.filePath("cups.sock").toStdString();
    int m_listener = -1;
    int m_dropper = -1; // the process that drops the connections
};

// Owns the clipboard, offers text and never hands it over; or ends when asked for it.
class SilentClipboardOwner {
public:
    explicit SilentClipboardOwner(bool diesWhenAsked);

private:
    Process m_process;
};

// The layout of the test display's window, 1920 x 1080 pixels at 15 twips to the pixel.
extern const StartupLayout ScreenLayout;
QRect pixels(const Place &place);

// X, Y, WIDTH and HEIGHT of a window.
std::map<std::string, int> windowGeometry(const std::string &window);
// The window that has the keyboard focus.
std::string focusedWindow();
// Writes a shell script at the path that appends "name|argument count|first argument" to the log.
void writeRecorder(const std::string &path, const std::string &log);

// A picture of one colour with rectangles of others painted on it.
QImage painted(int width, int height, QColor colour,
               const std::vector<std::pair<QRect, QColor>> &parts = {});
// The whole screen as it is now.
QImage screenshot();
// Screenshots until one is ready, or the time is up; the last one.
QImage screenWhen(const std::function<bool(const QImage &)> &ready);
// Colours equal within what the screen's rendering may change.
bool near(QColor actual, QColor expected);
// How often the part occurs in the text.
std::size_t count(const std::string &text, const std::string &part);
// A file's contents, or an empty string.
std::string readFile(const std::string &path);
// The n-th line (from 0) of a file that another program writes, once it is there; empty when it
// does not come.
std::string waitForLine(const std::string &path, std::size_t n);

// Names a table's test after its row's `name`.
inline const auto RowName = [](const auto &row) { return std::string(row.param.name); };

// A test of the real program on the display, with a clipboard and a fresh program folder.
class E2eTest : public ::testing::Test {
protected:
    E2eTest() = default;
    explicit E2eTest(const std::string &builtExecutable) : program(builtExecutable) {}
    void SetUp() override { ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display"; }
    // Puts the picture on the clipboard, starts the program and waits for its window.
    void startWith(const QImage &picture);
    void startWith(const std::string &text);

    XClipboard clipboard;
    ProgramUnderTest program;
};

} // namespace dovrante::e2e
