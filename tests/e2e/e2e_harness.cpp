#include "e2e_harness.h"

#include <QPainter>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dovrante::e2e {

namespace fs = std::filesystem;

namespace {

// Starts argv with its error output dropped; false when it cannot be started.
bool launch(QProcess &process, const std::vector<std::string> &argv)
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

std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> found;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        found.push_back(line);
    return found;
}

std::string trimmed(const std::string &text)
{
    return QString::fromStdString(text).trimmed().toStdString();
}

} // namespace

CommandResult run(const std::vector<std::string> &argv, const std::string &input)
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

std::string waitForWindowNamed(const std::string &pattern, std::chrono::milliseconds timeout,
                               long long pid, const std::function<bool(const std::string &)> &fits)
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

bool XClipboard::signalOwners(int signal)
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

void XClipboard::clear()
{
    signalOwners(SIGTERM);
    waitUntil([] { return !signalOwners(0); });
}

void XClipboard::putText(const std::string &text)
{
    clear();
    run({"xclip", "-selection", "clipboard", "-i"}, text);
    waitUntil([&] { return read() == text; });
}

void XClipboard::putFile(const std::string &path, const std::string &mimeType)
{
    clear();
    run({"xclip", "-selection", "clipboard", "-t", mimeType, "-i", path});
    waitUntil([&] { return !read(mimeType).empty(); });
}

void XClipboard::putImage(const QImage &image, const std::string &path)
{
    image.save(QString::fromStdString(path), "PNG");
    putFile(path, "image/png");
}

std::string XClipboard::read(const std::string &mimeType)
{
    const CommandResult result =
        run({"timeout", "5", "xclip", "-selection", "clipboard", "-o", "-t", mimeType});
    return result.exitCode == 0 ? result.output : std::string();
}

ProgramUnderTest::ProgramUnderTest(const std::string &builtExecutable)
    : ProgramUnderTest(Installed{})
{
    m_folder = m_root.filePath("program folder").toStdString();
    fs::create_directories(m_folder);
    fs::copy_file(builtExecutable, executable());
}

ProgramUnderTest::ProgramUnderTest(const Installed &installed)
    : m_folder(installed.folder)
    , m_home(m_root.filePath("home").toStdString())
    , m_startCommand(installed.startCommand)
{
    fs::create_directories(m_home);
}

void ProgramUnderTest::start()
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
    std::vector<std::string> argv{m_startCommand.empty() ? executable() : m_startCommand,
                                  "--ignored", "arguments"};
    // prlimit sets the limit and runs the program in its own place, under the same pid.
    if (m_fileSizeLimit)
        argv.insert(argv.begin(), {"prlimit", "--fsize=" + std::to_string(*m_fileSizeLimit), "--"});
    launch(m_process, argv);
}

std::string ProgramUnderTest::waitForWindow(std::chrono::milliseconds timeout)
{
    // The main window is the one as large as the screen; message boxes are smaller.
    return m_window = waitForWindowNamed(".", timeout, m_process.processId(), [](auto &window) {
               auto g = windowGeometry(window);
               return g["WIDTH"] == 1920 && g["HEIGHT"] == 1080;
           });
}

std::string ProgramUnderTest::title()
{
    return trimmed(run({"xdotool", "getwindowname", m_window}).output);
}

void ProgramUnderTest::pressKeysIn(const std::string &window, const std::vector<std::string> &keys)
{
    run({"xdotool", "windowfocus", "--sync", window});
    std::vector<std::string> argv{"xdotool", "key", "--clearmodifiers"};
    argv.insert(argv.end(), keys.begin(), keys.end());
    run(argv);
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
    const std::string text = messageBoxText(box, clipboard);
    pressKeysIn(box, {"Return"});
    return text;
}

bool ProgramUnderTest::answerDialog(const std::string &title, const std::string &path)
{
    const std::string dialog = waitForWindowTitled(title);
    if (!dialog.empty()) {
        typeIn(dialog, path);
        pressKeysIn(dialog, {"Return"});
    }
    return !dialog.empty();
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
    m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    m_path.copy(address.sun_path, sizeof address.sun_path - 1);
    // A connection never accepted waits in the queue for an answer that never comes.
    EXPECT_TRUE(::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
                ::listen(m_listener, 64) == 0)
        << "no fake scheduler at " << m_path;
    if (behaviour == Behaviour::DropsConnections && (m_dropper = ::fork()) == 0)
        for (;;)
            ::close(::accept(m_listener, nullptr, nullptr));
}

FakeScheduler::~FakeScheduler()
{
    if (m_dropper > 0 && ::kill(m_dropper, SIGKILL) == 0)
        ::waitpid(m_dropper, nullptr, 0);
    ::close(m_listener);
}

SilentClipboardOwner::SilentClipboardOwner(bool diesWhenAsked)
{
    launch(m_process, {DOVRANTE_SILENT_OWNER, diesWhenAsked ? "dies" : "silent"});
    // Owned once the clipboard lists its offer.
    waitUntil([] {
        return run({"timeout", "3", "xclip", "-selection", "clipboard", "-o", "-t", "TARGETS"})
                   .output.find("UTF8_STRING") != std::string::npos;
    });
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
    return trimmed(run({"xdotool", "getwindowfocus"}).output);
}

void writeRecorder(const std::string &path, const std::string &log)
{
    fs::remove(path);
    std::ofstream(path) << "#!/bin/sh\nprintf '%s|%s|%s\\n' \"${0##*/}\" \"$#\" \"$1\" >> '" << log
                        << "'\n";
    fs::permissions(path, fs::perms::owner_all);
}

QImage painted(int width, int height, QColor colour,
               const std::vector<std::pair<QRect, QColor>> &parts)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QPainter painter(&image);
    for (const auto &[rect, partColour] : parts)
        painter.fillRect(rect, partColour);
    return image;
}

QImage screenshot()
{
    const CommandResult shot = run({"import", "-silent", "-window", "root", "png:-"});
    return QImage::fromData(QByteArray::fromStdString(shot.output), "PNG");
}

QImage screenWhen(const std::function<bool(const QImage &)> &ready)
{
    QImage shot;
    waitUntil([&] { return !(shot = screenshot()).isNull() && ready(shot); });
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

std::string readFile(const std::string &path)
{
    std::ostringstream contents;
    contents << std::ifstream(path, std::ios::binary).rdbuf();
    return contents.str();
}

std::string waitForLine(const std::string &path, std::size_t n)
{
    std::vector<std::string> found;
    waitUntil([&] { return (found = lines(readFile(path))).size() > n; });
    return found.size() > n ? found[n] : std::string();
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

} // namespace dovrante::e2e
