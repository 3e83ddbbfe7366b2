#include "e2e_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace dovrante::e2e {

namespace fs = std::filesystem;

namespace {

// Spawns argv with the given descriptors for stdin and stdout; returns the child's pid.
int spawn(const std::vector<std::string> &argv, int stdinFd, int stdoutFd,
          const std::vector<std::string> &extraEnv = {})
{
    std::vector<char *> args;
    for (const std::string &arg : argv)
        args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);

    // An extra "NAME=value" replaces the inherited NAME; a bare "NAME" removes it.
    const auto nameOf = [](const std::string &entry) { return entry.substr(0, entry.find('=')); };
    std::vector<std::string> envStrings;
    for (char **e = environ; *e; ++e) {
        const std::string entry(*e);
        if (std::none_of(extraEnv.begin(), extraEnv.end(),
                         [&](const std::string &extra) { return nameOf(extra) == nameOf(entry); }))
            envStrings.push_back(entry);
    }
    for (const std::string &extra : extraEnv) {
        if (extra.find('=') != std::string::npos)
            envStrings.push_back(extra);
    }
    std::vector<char *> env;
    for (std::string &e : envStrings)
        env.push_back(e.data());
    env.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, stdinFd, 0);
    posix_spawn_file_actions_adddup2(&actions, stdoutFd, 1);
    const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    posix_spawn_file_actions_adddup2(&actions, devNull, 2);
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(devNull);
    if (error != 0)
        ADD_FAILURE() << "cannot start " << argv[0] << ": " << std::strerror(error);
    return error == 0 ? pid : -1;
}

// A pipe whose write end feeds `input` to a child, written from a thread so large inputs work.
int feed(const std::string &input, std::thread &writer)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    writer = std::thread([fd = fds[1], input] {
        size_t done = 0;
        while (done < input.size()) {
            const ssize_t n = ::write(fd, input.data() + done, input.size() - done);
            if (n <= 0)
                break;
            done += static_cast<size_t>(n);
        }
        ::close(fd);
    });
    return fds[0];
}

int waitExit(int pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string trim(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> found;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        found.push_back(line);
    return found;
}

} // namespace

CommandResult run(const std::vector<std::string> &argv, const std::string &input)
{
    std::thread writer;
    const int in = feed(input, writer);
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return {};
    const int pid = spawn(argv, in, out[1]);
    ::close(in);
    ::close(out[1]);
    CommandResult result;
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(out[0], buffer, sizeof buffer)) > 0)
        result.output.append(buffer, static_cast<size_t>(n));
    ::close(out[0]);
    writer.join();
    if (pid > 0)
        result.exitCode = waitExit(pid);
    return result;
}

namespace {

// Starts a command that stays in the background (xclip serving the clipboard); output discarded.
void runDetached(const std::vector<std::string> &argv, const std::string &input = {})
{
    std::thread writer;
    const int in = feed(input, writer);
    const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const int pid = spawn(argv, in, devNull);
    ::close(in);
    ::close(devNull);
    writer.join();
    // xclip forks a server and its first process ends once the input is read.
    if (pid > 0)
        waitExit(pid);
}

} // namespace

bool waitUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
}

namespace {

// The xclip servers of this test's display; others may serve other displays on the machine.
std::vector<int> xclipServers()
{
    const char *display = std::getenv("DISPLAY");
    const std::string wanted = std::string("DISPLAY=") + (display ? display : "");
    std::vector<int> pids;
    for (const std::string &pid : lines(run({"pgrep", "-x", "xclip"}).output)) {
        std::istringstream entries(readFile("/proc/" + pid + "/environ"));
        for (std::string entry; std::getline(entries, entry, '\0');)
            if (entry == wanted)
                pids.push_back(std::atoi(pid.c_str()));
    }
    return pids;
}

} // namespace

XClipboard::XClipboard()
{
    clear();
}

XClipboard::~XClipboard()
{
    for (int pid : xclipServers())
        ::kill(pid, SIGTERM);
}

void XClipboard::clear()
{
    for (int pid : xclipServers())
        ::kill(pid, SIGTERM);
    waitUntil([] { return xclipServers().empty(); });
}

void XClipboard::putText(const std::string &text)
{
    clear();
    runDetached({"xclip", "-selection", "clipboard", "-i"}, text);
    waitUntil([this, &text] { return read() == text; });
}

void XClipboard::putFile(const std::string &path, const std::string &mimeType)
{
    clear();
    runDetached({"xclip", "-selection", "clipboard", "-t", mimeType, "-i", path});
    waitUntil([this, &mimeType] { return !read(mimeType).empty(); });
}

void XClipboard::putImage(const QImage &image, const std::string &path)
{
    image.save(QString::fromStdString(path), "PNG");
    putFile(path, "image/png");
}

void XClipboard::freezeOwner()
{
    for (int pid : xclipServers())
        ::kill(pid, SIGSTOP);
}

void XClipboard::thawOwner()
{
    for (int pid : xclipServers())
        ::kill(pid, SIGCONT);
}

std::string XClipboard::read(const std::string &mimeType)
{
    const CommandResult result =
        run({"timeout", "5", "xclip", "-selection", "clipboard", "-o", "-t", mimeType});
    return result.exitCode == 0 ? result.output : std::string();
}

ProgramUnderTest::ProgramUnderTest(const std::string &builtExecutable)
{
    char pattern[] = "/tmp/dovrante-e2e-XXXXXX";
    m_root = ::mkdtemp(pattern);
    m_folder = m_root + "/program folder";
    m_home = m_root + "/home";
    fs::create_directories(m_folder);
    fs::create_directories(m_home);
    fs::copy_file(builtExecutable, executable());
    fs::permissions(executable(), fs::perms::owner_all | fs::perms::group_read |
                                      fs::perms::group_exec | fs::perms::others_read |
                                      fs::perms::others_exec);
}

ProgramUnderTest::ProgramUnderTest(const Installed &installed)
    : m_folder(installed.folder)
    , m_startCommand(installed.startCommand)
{
    char pattern[] = "/tmp/dovrante-e2e-XXXXXX";
    m_root = ::mkdtemp(pattern);
    m_home = m_root + "/home";
    fs::create_directories(m_home);
}

void ProgramUnderTest::setEnvironment(const std::string &name,
                                      const std::optional<std::string> &value)
{
    m_environment.push_back(value ? name + "=" + *value : name);
}

ProgramUnderTest::~ProgramUnderTest()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        waitExit(m_pid);
    }
    std::error_code ignored;
    fs::remove_all(m_root, ignored);
}

void ProgramUnderTest::start()
{
    const int devNull = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    std::vector<std::string> environment{"HOME=" + m_home, "XDG_CONFIG_HOME=" + m_home + "/.config",
                                         "LC_ALL=C.UTF-8"};
    environment.insert(environment.end(), m_environment.begin(), m_environment.end());
    std::vector<std::string> argv{m_startCommand.empty() ? executable() : m_startCommand,
                                  "--ignored", "arguments"};
    // prlimit sets the limit and runs the program in its own place, under the same pid.
    if (m_fileSizeLimit)
        argv.insert(argv.begin(), {"prlimit", "--fsize=" + std::to_string(*m_fileSizeLimit), "--"});
    m_pid = spawn(argv, devNull, devNull, environment);
    ::close(devNull);
}

std::string ProgramUnderTest::waitForWindow(std::chrono::milliseconds timeout)
{
    m_window.clear();
    waitUntil(
        [this] {
            const CommandResult found = run({"xdotool", "search", "--all", "--onlyvisible", "--pid",
                                             std::to_string(m_pid), "--name", "."});
            // The main window is the one as large as the screen; message boxes are smaller.
            for (const std::string &window : lines(found.output))
                if (run({"xdotool", "getwindowgeometry", window}).output.find("1920x1080") !=
                    std::string::npos) {
                    m_window = window;
                    return true;
                }
            return false;
        },
        timeout);
    return m_window;
}

bool ProgramUnderTest::running()
{
    if (m_pid <= 0)
        return false;
    int status = 0;
    const int done = ::waitpid(m_pid, &status, WNOHANG);
    if (done == m_pid) {
        m_pid = -1;
        return false;
    }
    return true;
}

bool ProgramUnderTest::waitForExit(std::chrono::milliseconds timeout)
{
    return waitUntil([this] { return !running(); }, timeout);
}

std::string ProgramUnderTest::title()
{
    return trim(run({"xdotool", "getwindowname", m_window}).output);
}

void ProgramUnderTest::pressKeys(const std::vector<std::string> &keys)
{
    pressKeysIn(m_window, keys);
}

void ProgramUnderTest::pressKeysIn(const std::string &window, const std::vector<std::string> &keys)
{
    run({"xdotool", "windowfocus", "--sync", window});
    std::vector<std::string> argv{"xdotool", "key", "--clearmodifiers"};
    argv.insert(argv.end(), keys.begin(), keys.end());
    run(argv);
}

std::string ProgramUnderTest::waitForWindowTitled(const std::string &title,
                                                  std::chrono::milliseconds timeout)
{
    std::string window;
    waitUntil(
        [&] {
            const CommandResult list = run({"xdotool", "search", "--all", "--onlyvisible", "--pid",
                                            std::to_string(m_pid), "--name", "^" + title + "$"});
            const std::vector<std::string> found = lines(list.output);
            window.clear();
            if (!found.empty())
                window = found.front();
            return !window.empty();
        },
        timeout);
    return window;
}

void ProgramUnderTest::typeIn(const std::string &window, const std::string &text)
{
    run({"xdotool", "windowfocus", "--sync", window});
    run({"xdotool", "type", "--delay", "15", "--", text});
}

std::string ProgramUnderTest::messageBoxText(const std::string &window, XClipboard &clipboard)
{
    clipboard.clear();
    pressKeysIn(window, {"ctrl+c"});
    std::string text;
    waitUntil([&] { return !(text = clipboard.read()).empty(); }, std::chrono::seconds(5));
    return text;
}

std::string ProgramUnderTest::closeBox(const std::string &title, XClipboard &clipboard,
                                       std::chrono::milliseconds timeout)
{
    const std::string box = waitForWindowTitled(title, timeout);
    if (box.empty())
        return "(no box titled " + title + ")";
    std::string text = messageBoxText(box, clipboard);
    pressKeysIn(box, {"Return"});
    return text;
}

bool ProgramUnderTest::answerDialog(const std::string &title, const std::string &path)
{
    const std::string dialog = waitForWindowTitled(title);
    if (dialog.empty())
        return false;
    typeIn(dialog, path);
    pressKeysIn(dialog, {"Return"});
    return true;
}

void ProgramUnderTest::click(const Place &place, int button)
{
    const QPoint middle = pixels(place).center();
    clickAt(middle.x(), middle.y(), button);
}

void ProgramUnderTest::clickAt(int x, int y, int button)
{
    // No --sync: it waits forever when the pointer is already there. The pointer comes in from
    // aside, so that a window that appeared under it sees it arrive.
    run({"xdotool", "mousemove", std::to_string(x > 40 ? x - 40 : x + 40), std::to_string(y)});
    run({"xdotool", "mousemove", std::to_string(x), std::to_string(y)});
    run({"xdotool", "click", std::to_string(button)});
}

FakeScheduler::FakeScheduler(Behaviour behaviour)
{
    char folder[] = "/tmp/dovrante-cups-XXXXXX";
    m_path = std::string(::mkdtemp(folder)) + "/cups.sock";
    m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, m_path.c_str(), sizeof address.sun_path - 1);
    if (::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 64) != 0 || ::pipe2(m_stop, O_CLOEXEC) != 0)
        ADD_FAILURE() << "no fake scheduler at " << m_path << ": " << std::strerror(errno);
    m_thread = std::thread([this, behaviour] { serve(behaviour); });
}

FakeScheduler::~FakeScheduler()
{
    [[maybe_unused]] const ssize_t ignored = ::write(m_stop[1], "x", 1);
    m_thread.join();
    ::close(m_listener);
    ::close(m_stop[0]);
    ::close(m_stop[1]);
    std::error_code ignoredError;
    fs::remove_all(fs::path(m_path).parent_path(), ignoredError);
}

void FakeScheduler::serve(Behaviour behaviour)
{
    std::vector<int> held;
    for (;;) {
        pollfd waits[2] = {{m_listener, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
        if (::poll(waits, 2, -1) < 0 || (waits[1].revents & POLLIN))
            break;
        const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        if (behaviour == Behaviour::DropsConnections)
            ::close(connection);
        else
            held.push_back(connection);
    }
    for (int connection : held)
        ::close(connection);
}

SilentClipboardOwner::SilentClipboardOwner(bool diesWhenAsked)
{
    const int devNull = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    m_pid = spawn({DOVRANTE_SILENT_OWNER, diesWhenAsked ? "dies" : "silent"}, devNull, devNull);
    ::close(devNull);
    // Owned once the clipboard lists its offer.
    waitUntil([] {
        return run({"timeout", "3", "xclip", "-selection", "clipboard", "-o", "-t", "TARGETS"})
                   .output.find("UTF8_STRING") != std::string::npos;
    });
}

SilentClipboardOwner::~SilentClipboardOwner()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        waitExit(m_pid);
    }
}

const StartupLayout ScreenLayout = computeStartupLayout(1920 * 15, 1080 * 15);

QRect pixels(const Place &place)
{
    const auto px = [](float twips) { return static_cast<int>(std::lround(twips / 15.0)); };
    return QRect(px(place.left), px(place.top), px(place.width), px(place.height));
}

std::map<std::string, int> windowGeometry(const std::string &window)
{
    std::map<std::string, int> g;
    for (const std::string &line :
         lines(run({"xdotool", "getwindowgeometry", "--shell", window}).output))
        if (const auto eq = line.find('='); eq != std::string::npos)
            g[line.substr(0, eq)] = std::atoi(line.c_str() + eq + 1);
    return g;
}

std::string focusedWindow()
{
    return trim(run({"xdotool", "getwindowfocus"}).output);
}

void writeRecorder(const std::string &path, const std::string &log)
{
    fs::remove(path);
    std::ofstream(path) << "#!/bin/sh\nprintf '%s|%s|%s\\n' \"${0##*/}\" \"$#\" \"$1\" >> '" << log
                        << "'\n";
    fs::permissions(path, fs::perms::owner_all);
}

QImage screenWhen(const std::function<bool(const QImage &)> &ready)
{
    QImage shot;
    waitUntil([&] {
        shot = screenshot();
        return !shot.isNull() && ready(shot);
    });
    return shot;
}

bool near(QColor actual, QColor expected)
{
    return std::abs(actual.red() - expected.red()) <= 10 &&
           std::abs(actual.green() - expected.green()) <= 10 &&
           std::abs(actual.blue() - expected.blue()) <= 10;
}

std::size_t count(const std::string &text, const std::string &part)
{
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

void E2eTest::startWith(const QImage &picture)
{
    clipboard.putImage(picture, program.home() + "/clip.png");
    program.start();
    ASSERT_FALSE(program.waitForWindow().empty()) << "no window appeared";
}

void E2eTest::startWith(const std::string &text)
{
    clipboard.putText(text);
    program.start();
    ASSERT_FALSE(program.waitForWindow().empty()) << "no window appeared";
}

QImage screenshot()
{
    const CommandResult shot = run({"import", "-silent", "-window", "root", "png:-"});
    return QImage::fromData(reinterpret_cast<const uchar *>(shot.output.data()),
                            static_cast<int>(shot.output.size()), "PNG");
}

std::string waitForLine(const std::string &path, std::size_t n)
{
    std::vector<std::string> found;
    waitUntil([&] { return (found = lines(readFile(path))).size() > n; });
    return found.size() > n ? found[n] : std::string();
}

std::string readFile(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

} // namespace dovrante::e2e
