#pragma once

// Drives the real program on the X display named by DISPLAY: starts it from a fresh program
// folder, fills the real clipboard with xclip, presses real keys with xdotool and reads the window.

#include "app/toolbar_layout.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dovrante::e2e {

using namespace std::chrono_literals;

// Starts argv with its error output dropped; false when it cannot be started.
inline bool launch(QProcess &process, const std::vector<std::string> &argv)
{
    QStringList arguments;
    for (auto argument = argv.begin() + 1; argument != argv.end(); ++argument)
        arguments << QString::fromStdString(*argument);
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(QString::fromStdString(argv.front()), arguments);
    const bool started = process.waitForStarted();
    EXPECT_TRUE(started) << "cannot start " << argv.front();
    return started;
}

struct CommandResult {
    int exitCode = -1;
    std::string output; // standard output only
};

inline CommandResult run(const std::vector<std::string> &argv, const std::string &input = {})
{
    QProcess process;
    if (!launch(process, argv))
        return {};
    process.write(input.data(), static_cast<qint64>(input.size()));
    process.closeWriteChannel();
    // Ends with the command's own process: xclip's server, which it forks, outlives it.
    process.waitForFinished(-1);
    const bool exited = process.exitStatus() == QProcess::NormalExit;
    return {exited ? process.exitCode() : -1, process.readAllStandardOutput().toStdString()};
}

// How long a test waits for what should come. A wait ends as soon as its condition holds, so this
// bound costs nothing when the program is right; it is generous because a busy machine (a build
// beside the tests, other people's work) makes the display, the window manager and the program
// slow, and the program's own deadlines are not the test's.
inline constexpr std::chrono::milliseconds Patience = 60s;

inline bool waitUntil(const std::function<bool()> &done,
                      std::chrono::milliseconds timeout = Patience)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (done())
            return true;
        std::this_thread::sleep_for(50ms);
    }
    return done();
}

inline std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> found;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        found.push_back(line);
    return found;
}

inline std::string readFile(const std::string &path)
{
    std::ostringstream contents;
    contents << std::ifstream(path, std::ios::binary).rdbuf();
    return contents.str();
}

// The n-th line (from 0) of a file that another program writes, once it is there.
inline std::string waitForLine(const std::string &path, std::size_t n)
{
    std::vector<std::string> found;
    waitUntil([&] { return (found = lines(readFile(path))).size() > n; });
    return found.size() > n ? found[n] : std::string();
}

inline std::size_t count(const std::string &text, const std::string &part)
{
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// A visible window whose name matches, of that process when a pid is given, for which `fits`
// holds; empty when none comes in time.
inline std::string waitForWindowNamed(const std::string &pattern,
                                      std::chrono::milliseconds timeout = Patience,
                                      long long pid = 0,
                                      const std::function<bool(const std::string &)> &fits = {})
{
    std::vector<std::string> argv{"xdotool", "search", "--all", "--onlyvisible", "--name", pattern};
    if (pid > 0) // before the pattern, which comes last
        argv.insert(argv.begin() + 4, {"--pid", std::to_string(pid)});
    std::string found;
    waitUntil(
        [&] {
            for (const std::string &window : lines(run(argv).output))
                if (!fits || fits(window)) {
                    found = window;
                    return true;
                }
            return false;
        },
        timeout);
    return found;
}

inline std::map<std::string, int> windowGeometry(const std::string &window)
{
    std::map<std::string, int> g;
    for (const std::string &line :
         lines(run({"xdotool", "getwindowgeometry", "--shell", window}).output))
        if (const auto eq = line.find('='); eq != std::string::npos)
            g[line.substr(0, eq)] = std::atoi(line.c_str() + eq + 1);
    return g;
}

// The window that has the keyboard focus.
inline std::string focusedWindow()
{
    const std::string window = run({"xdotool", "getwindowfocus"}).output;
    return window.substr(0, window.find('\n'));
}

// A process that ends with its object. QProcess needs no application object.
class Process : public QProcess {
public:
    ~Process() override
    {
        kill();
        waitForFinished();
    }
};

inline std::string png(const QImage &picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes.toStdString();
}

// The X clipboard, owned by xclip processes that this object ends.
class XClipboard {
public:
    XClipboard() { clear(); }
    ~XClipboard() { signalOwners(SIGTERM); }
    void clear()
    {
        signalOwners(SIGTERM);
        waitUntil([] { return !signalOwners(0); });
    }
    void put(const std::string &bytes, const std::string &type = "UTF8_STRING")
    {
        clear();
        run({"xclip", "-selection", "clipboard", "-t", type, "-i"}, bytes);
        waitUntil([&] { return !read(type).empty(); });
    }
    void put(const QImage &picture) { put(png(picture), "image/png"); }
    std::string read(const std::string &type = "UTF8_STRING")
    {
        const CommandResult result =
            run({"timeout", "5", "xclip", "-selection", "clipboard", "-o", "-t", type});
        return result.exitCode == 0 ? result.output : std::string();
    }
    // Signals the xclip owners of this display, not those of others (SIGSTOP makes them hang);
    // false when there is none.
    static bool signalOwners(int signal)
    {
        const char *display = std::getenv("DISPLAY");
        // Its entry among the NUL-separated ones of /proc/PID/environ.
        const std::string wanted = std::string("\0DISPLAY=", 9) + (display ? display : "") + '\0';
        bool any = false;
        for (const std::string &pid : lines(run({"pgrep", "-x", "xclip"}).output))
            if (('\0' + readFile("/proc/" + pid + "/environ")).find(wanted) != std::string::npos)
                any = ::kill(std::stoi(pid), signal) == 0 || any;
        return any;
    }
};

// A place on the test display given in its pixels, at 15 twips to the pixel.
constexpr Place px(float left, float top, float width, float height)
{
    return Place{left * 15, top * 15, width * 15, height * 15};
}

// Where a person sees each control on the test display's 1920 x 1080 window: the tests' own
// table, so that a mistake in the program's layout fails the tests instead of moving their clicks.
struct ScreenPlaces {
    Place cmdMin, txtMin, cmdIdeas, cmdBmpData, cmdTxtData, cmdSaveAs, cmdSave, cmdFolders,
        cmdReload, cmdCaption, cmdColor, cmdPrint, cmdOpen, cmdFontP, cmdFont, txtCaption, Picture1,
        Picture2, Image1, HScroll1, VScroll1, RichTextBox1;
};
inline constexpr ScreenPlaces ScreenLayout{
    .cmdMin = px(1875, 6, 17, 20),
    .txtMin = px(1875, 6, 17, 20),
    .cmdIdeas = px(1828, 6, 41, 20),
    .cmdBmpData = px(1804, 6, 17, 20),
    .cmdTxtData = px(1787, 6, 17, 20),
    .cmdSaveAs = px(1730, 6, 57, 20),
    .cmdSave = px(1713, 6, 17, 20),
    .cmdFolders = px(1696, 6, 17, 20),
    .cmdReload = px(1641, 6, 48, 20),
    .cmdCaption = px(1618, 6, 17, 20),
    .cmdColor = px(1571, 6, 40, 20),
    .cmdPrint = px(1524, 6, 40, 20),
    .cmdOpen = px(1501, 6, 17, 20),
    .cmdFontP = px(1461, 6, 17, 20),
    .cmdFont = px(1421, 6, 33, 20),
    .txtCaption = px(1524, 32, 267, 26),
    .Picture1 = px(0, 0, 1896, 1030),
    .Picture2 = px(0, 0, 1896, 1030),
    .Image1 = px(0, 0, 1896, 1030),
    .HScroll1 = px(0, 1030, 1896, 17),
    .VScroll1 = px(1896, 0, 17, 1030),
    .RichTextBox1 = px(0, 0, 1273, 990),
};

inline QRect pixels(const Place &place)
{
    const auto px = [](float twips) { return static_cast<int>(std::lround(twips / 15.0)); };
    return QRect(px(place.left), px(place.top), px(place.width), px(place.height));
}

// The program copied into a fresh folder of its own, run there with its own home folder.
class ProgramUnderTest {
public:
    // An installed program, run where it lies by a command of its own; only its home is fresh.
    struct Installed {
        std::string folder;
        std::string startCommand;
    };
    explicit ProgramUnderTest(const Installed &installed)
        : m_folder(installed.folder)
        , m_home(m_root.filePath("home").toStdString())
        , m_startCommand(installed.startCommand)
    {
        std::filesystem::create_directories(m_home);
    }
    explicit ProgramUnderTest(const std::string &builtExecutable = DOVRANTE_EXECUTABLE)
        : ProgramUnderTest(Installed{})
    {
        m_folder = m_root.filePath("program folder").toStdString();
        std::filesystem::create_directories(m_folder);
        std::filesystem::copy_file(builtExecutable, file("Dovrante"));
    }

    const std::string &folder() const { return m_folder; }
    const std::string &home() const { return m_home; }
    std::string file(const std::string &name) const { return m_folder + "/" + name; }
    std::string dataFile() const { return file("Dovrante Data.txt"); }

    // Sets or, with no value, removes a variable in the environment of the next start.
    void setEnvironment(const std::string &name, const std::optional<std::string> &value)
    {
        m_environment.emplace_back(name, value);
    }
    // ulimit -f, in bytes.
    void setFileSizeLimit(long bytes) { m_limits.push_back("--fsize=" + std::to_string(bytes)); }
    // ulimit -v, in bytes.
    void setMemoryLimit(long bytes) { m_limits.push_back("--as=" + std::to_string(bytes)); }

    void start()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert(
            m_environment.begin(),
            {{"HOME", m_home}, {"XDG_CONFIG_HOME", m_home + "/.config"}, {"LC_ALL", "C.UTF-8"}});
        for (const auto &[name, value] : m_environment)
            if (value)
                environment.insert(QString::fromStdString(name), QString::fromStdString(*value));
            else
                environment.remove(QString::fromStdString(name));
        m_process.setProcessEnvironment(environment);
        m_process.setStandardInputFile(QProcess::nullDevice());
        m_process.setStandardOutputFile(QProcess::nullDevice());
        std::vector<std::string> argv{m_startCommand.empty() ? file("Dovrante") : m_startCommand,
                                      "--ignored", "arguments"};
        // prlimit sets the limits and runs the program in its own place, under the same pid.
        if (!m_limits.empty()) {
            argv.insert(argv.begin(), "--");
            argv.insert(argv.begin(), m_limits.begin(), m_limits.end());
            argv.insert(argv.begin(), "prlimit");
        }
        launch(m_process, argv);
    }
    // The main window once it is mapped, or empty: the one as large as the screen, as message
    // boxes are smaller.
    std::string waitForWindow(std::chrono::milliseconds timeout = Patience)
    {
        return m_window = waitForWindowNamed(".", timeout, m_process.processId(), [](auto &w) {
                   auto g = windowGeometry(w);
                   return g["WIDTH"] == 1920 && g["HEIGHT"] == 1080;
               });
    }
    long long pid() const { return m_process.processId(); }
    bool running()
    {
        return m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(0);
    }
    bool waitForExit(std::chrono::milliseconds timeout = Patience)
    {
        return waitUntil([this] { return !running(); }, timeout);
    }

    std::string title()
    {
        const std::string name = run({"xdotool", "getwindowname", m_window}).output;
        return name.substr(0, name.find('\n'));
    }
    std::string waitForWindowTitled(const std::string &title,
                                    std::chrono::milliseconds timeout = Patience)
    {
        return waitForWindowNamed("^" + title + "$", timeout, m_process.processId());
    }
    // The text of a message box, copied with Ctrl+C as the box offers.
    std::string messageBoxText(const std::string &window, XClipboard &clipboard)
    {
        clipboard.clear();
        pressKeysIn(window, {"ctrl+c"});
        std::string text;
        waitUntil([&] { return !(text = clipboard.read()).empty(); });
        return text;
    }
    // Reads the text of the box of that title and closes it with Enter; "(no box titled ...)"
    // when none came.
    std::string closeBox(const std::string &title, XClipboard &clipboard,
                         std::chrono::milliseconds timeout = Patience)
    {
        const std::string box = waitForWindowTitled(title, timeout);
        if (box.empty())
            return "(no box titled " + title + ")";
        const std::string text = messageBoxText(box, clipboard);
        pressKeysIn(box, {"Return"});
        return text;
    }
    // Types the path into the dialog of that title and presses Enter; false when none came.
    bool answerDialog(const std::string &title, const std::string &path)
    {
        const std::string dialog = waitForWindowTitled(title);
        if (!dialog.empty()) {
            typeIn(dialog, path);
            pressKeysIn(dialog, {"Return"});
        }
        return !dialog.empty();
    }
    void typeIn(const std::string &window, const std::string &text)
    {
        run({"xdotool", "windowfocus", "--sync", window});
        run({"xdotool", "type", "--delay", "15", "--", text});
    }
    void pressKeysIn(const std::string &window, const std::vector<std::string> &keys)
    {
        run({"xdotool", "windowfocus", "--sync", window});
        std::vector<std::string> argv{"xdotool", "key", "--clearmodifiers"};
        argv.insert(argv.end(), keys.begin(), keys.end());
        run(argv);
    }
    void pressKeys(const std::vector<std::string> &keys) { pressKeysIn(m_window, keys); }
    void clickAt(int x, int y, int button = 1)
    {
        // No --sync: it waits forever when the pointer is already there. The pointer comes in
        // from aside, so that a window that appeared under it sees it arrive.
        run({"xdotool", "mousemove", std::to_string(x > 40 ? x - 40 : x + 40), std::to_string(y)});
        run({"xdotool", "mousemove", std::to_string(x), std::to_string(y)});
        run({"xdotool", "click", std::to_string(button)});
    }
    void click(const Place &place, int button = 1)
    {
        const QPoint middle = pixels(place).center();
        clickAt(middle.x(), middle.y(), button);
    }

private:
    QTemporaryDir m_root{"/tmp/dovrante-e2e-XXXXXX"}; // removed once the program has ended
    std::string m_folder, m_home, m_startCommand, m_window;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_environment;
    std::vector<std::string> m_limits;
    Process m_process;
};

// A shell script at the path that appends "name|argument count|first argument" to the log.
inline void writeRecorder(const std::string &path, const std::string &log)
{
    std::filesystem::remove(path);
    std::ofstream(path) << "#!/bin/sh\nprintf '%s|%s|%s\\n' \"${0##*/}\" \"$#\" \"$1\" >> '" << log
                        << "'\n";
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

// An X server of a test's own, named by DISPLAY while this object lives, for the few tests
// that need a display unlike the shared one. With an authority file it lets in only clients that
// show that file's cookie; the test's own tools are then given the file as XAUTHORITY.
class OwnDisplay {
public:
    explicit OwnDisplay(const std::string &authority = {}, const std::string &size = "1920x1080")
    {
        // The server picks a free display and writes its number once it takes connections.
        std::vector<std::string> argv{"Xvfb",      "-displayfd", "1",       "-screen",
                                      "0",         size + "x24", "-dpi",    "96",
                                      "-nolisten", "tcp",        "-noreset"};
        if (!authority.empty())
            argv.insert(argv.end(), {"-auth", authority});
        if (!launch(m_server, argv) ||
            !m_server.waitForReadyRead(static_cast<int>(Patience.count())))
            return;
        swap("DISPLAY", ":" + m_server.readLine().trimmed().toStdString());
        if (!authority.empty())
            swap("XAUTHORITY", authority);
    }
    ~OwnDisplay()
    {
        for (const auto &[name, value] : m_previous)
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
        // Asked to end, the server removes its socket; killed, it would leave it behind.
        m_server.terminate();
        m_server.waitForFinished(5000);
    }
    bool ok() const { return !m_previous.empty(); }

private:
    void swap(const std::string &name, const std::string &value)
    {
        const char *previous = std::getenv(name.c_str());
        m_previous.emplace_back(name,
                                previous ? std::optional<std::string>(previous) : std::nullopt);
        ::setenv(name.c_str(), value.c_str(), 1);
    }
    Process m_server;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_previous;
};

// A CUPS scheduler stand-in on a socket of its own. It takes connections and then never answers,
// or drops each at once, or passes the first on to the tests' scheduler (CUPS_SERVER) and then
// goes quiet: later connections wait in its queue for an answer that never comes.
class FakeScheduler {
public:
    enum class Kind { Silent, Drops, AnswersOnce };
    explicit FakeScheduler(Kind kind)
    {
        sockaddr_un address{.sun_family = AF_UNIX, .sun_path = {}};
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        EXPECT_TRUE(::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) ==
                        0 &&
                    ::listen(m_listener, 64) == 0)
            << "no fake scheduler at " << path;
        const char *real = std::getenv("CUPS_SERVER");
        if (kind == Kind::AnswersOnce) {
            EXPECT_TRUE(real) << "no test scheduler to pass the first connection on to";
        }
        if (kind == Kind::Silent || (kind == Kind::AnswersOnce && !real) ||
            (m_helper = ::fork()) != 0)
            return;
        if (kind == Kind::Drops)
            for (;;)
                ::close(::accept(m_listener, nullptr, nullptr));
        relayOnce(real);
    }
    ~FakeScheduler()
    {
        if (m_helper > 0 && ::kill(m_helper, SIGKILL) == 0)
            ::waitpid(m_helper, nullptr, 0);
        ::close(m_listener);
    }
    FakeScheduler(const FakeScheduler &) = delete;
    FakeScheduler &operator=(const FakeScheduler &) = delete;

    QTemporaryDir folder{"/tmp/dovrante-cups-XXXXXX"};
    std::string path = folder.filePath("cups.sock").toStdString();

private:
    // In the helper process: passes the bytes of the first connection both ways until it ends.
    [[noreturn]] void relayOnce(const std::string &real)
    {
        const int client = ::accept(m_listener, nullptr, nullptr);
        const int cups = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{.sun_family = AF_UNIX, .sun_path = {}};
        real.copy(address.sun_path, sizeof address.sun_path - 1);
        if (client < 0 || ::connect(cups, reinterpret_cast<sockaddr *>(&address), sizeof address))
            ::_exit(1);
        pollfd ends[2] = {{client, POLLIN, 0}, {cups, POLLIN, 0}};
        char buffer[65536];
        while (::poll(ends, 2, -1) > 0)
            for (int from = 0; from < 2; ++from) {
                if (!ends[from].revents)
                    continue;
                const ssize_t got = ::read(ends[from].fd, buffer, sizeof buffer);
                if (got <= 0 || ::write(ends[1 - from].fd, buffer, got) != got)
                    ::_exit(0);
            }
        ::_exit(0);
    }

    int m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    pid_t m_helper = -1;
};

inline QImage painted(int width, int height, QColor colour,
                      const std::vector<std::pair<QRect, QColor>> &parts = {})
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QPainter painter(&image);
    for (const auto &[rect, partColour] : parts)
        painter.fillRect(rect, partColour);
    return image;
}

inline QImage screenshot()
{
    const CommandResult shot = run({"import", "-silent", "-window", "root", "png:-"});
    return QImage::fromData(QByteArray::fromStdString(shot.output), "PNG");
}

// The first screenshot for which `ready` holds, or the last one taken in time.
inline QImage screenWhen(const std::function<bool(const QImage &)> &ready,
                         std::chrono::milliseconds timeout = Patience)
{
    QImage shot;
    waitUntil([&] { return !(shot = screenshot()).isNull() && ready(shot); }, timeout);
    return shot;
}

// Equal within what the screen's rendering may change.
inline bool near(QColor actual, QColor expected)
{
    return std::abs(actual.red() - expected.red()) <= 10 &&
           std::abs(actual.green() - expected.green()) <= 10 &&
           std::abs(actual.blue() - expected.blue()) <= 10;
}

inline const auto RowName = [](const auto &row) { return std::string(row.param.name); };

// A test of the real program on the display, with a clipboard and a fresh program folder.
class E2eTest : public ::testing::Test {
public:
    explicit E2eTest(const std::string &builtExecutable = DOVRANTE_EXECUTABLE)
        : program(builtExecutable)
    {}
    void SetUp() override { ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display"; }
    // Offers the bytes on the clipboard, starts the program and waits for its window.
    void startWith(const std::string &bytes, const std::string &type = "UTF8_STRING")
    {
        clipboard.put(bytes, type);
        program.start();
        ASSERT_FALSE(program.waitForWindow().empty()) << "no window appeared";
    }
    void startWith(const QImage &picture) { startWith(png(picture), "image/png"); }

    XClipboard clipboard;
    ProgramUnderTest program;
};

} // namespace dovrante::e2e
