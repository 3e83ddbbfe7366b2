#include "app/command_line.h"
#include "app/form1.h"
#include "qt/qt_strings.h"
#include "services/cups_printers.h"
#include "services/cups_scheduler.h"
#include "services/font_warm_up.h"
#include "services/local_file_system.h"
#include "services/process_end.h"
#include "services/process_launcher.h"
#include "services/qt_clipboard.h"
#include "services/qt_clock.h"
#include "services/qt_file_dialog.h"
#include "services/qt_font_dialog.h"
#include "services/qt_message_box.h"
#include "services/qt_mouse_pointer.h"
#include "services/qt_picture_files.h"
#include "services/qt_printer.h"
#include "services/qt_program_location.h"
#include "services/qt_screen.h"
#include "services/qt_settings_store.h"
#include "services/qt_status_window_host.h"
#include "services/session_platform.h"
#include "view/main_window_view.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QImageReader>
#include <QMessageBox>
#include <QPixmap>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "dovrante.xpm" // dovrante_xpm, the window's icon

// The bench builds the program once more with the clipboard taken only once Qt is set up, to
// weigh what taking it ahead of Qt saves.
#ifdef DOVRANTE_CLIPBOARD_AFTER_QT
constexpr bool ClipboardAheadOfQt = false;
#else
constexpr bool ClipboardAheadOfQt = true;
#endif

namespace {

// Set while Qt opens the display: a display that cannot be opened is then a fatal message.
bool g_openingDisplay = false;
// Set when the reason the program cannot run has already been printed.
bool g_explained = false;
// Qt's messages while it opens the display, printed once it has opened one.
std::string g_held;

// Qt ends the process with abort() and advice to reinstall when it finds no display; say what
// happened instead, and only that, and end as an ordinary failure.
void reportNoDisplay(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (!g_openingDisplay) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        return;
    }
    g_held += message.toStdString() + "\n";
    if (type == QtFatalMsg) {
        if (g_explained)
            std::_Exit(1);
        const char *display = std::getenv("DISPLAY");
        std::fprintf(stderr,
                     "Dovrante cannot start: no display could be opened (DISPLAY is %s). Start it "
                     "on an X11 desktop, or in a Wayland session with XWayland.\n",
                     display && *display ? display : "not set");
        std::_Exit(1);
    }
}

// Build-time folders may start with "~", the home of whoever runs the program.
std::string expandHome(const char *folder)
{
    QString path = QString::fromUtf8(folder);
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        path.replace(0, 1, QDir::homePath());
    return dovrante::fromQt(path);
}

} // namespace

int main(int argc, char *argv[])
{
    using namespace dovrante;

    // --help and --version are answered without a display, reading and writing nothing.
    const CommandLine asked =
        readCommandLine(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    if (asked != CommandLine::Start) {
        const QCoreApplication core(argc, argv); // for the program's folder
        const std::string answer = asked == CommandLine::Help
                                       ? usageText(QtProgramLocation())
                                       : std::string("Dovrante ") + DOVRANTE_VERSION + "\n";
        std::fputs(answer.c_str(), stdout);
        return 0;
    }

    const PlatformChoice platform = choosePlatform(currentSession());
    if (platform == PlatformChoice::ThroughXWayland)
        qputenv("QT_QPA_PLATFORM", "xcb");
    if (platform == PlatformChoice::NoClipboardAtStart) {
        std::fprintf(stderr, "%s\n",
                     noClipboardAtStartMessage().c_str()); // in case no box can show
        g_explained = true;
    }

    // Past the file size limit a write fails with EFBIG, which is reported; the signal would
    // end the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);

    // Screenshots of large desktops exceed Qt's default limit; 16384 x 16384 at 32 bits is 1 GiB.
    QImageReader::setAllocationLimit(1100);

    // The clip is fetched and decoded while Qt and the window are being set up, on an X
    // connection of its own; where Qt will not speak X11 the capture asks Qt as usual.
    std::optional<ClipboardPrefetch> prefetch;
    const char *display = std::getenv("DISPLAY");
    const QByteArray qpa = qgetenv("QT_QPA_PLATFORM");
    const bool x11Clipboard = platform != PlatformChoice::NoClipboardAtStart && display &&
                              *display && (qpa.isEmpty() || qpa.startsWith("xcb"));
    if (x11Clipboard && ClipboardAheadOfQt)
        prefetch.emplace(display);

    std::jthread fontConfiguration = warmUpFontConfiguration();

    // Beyond --help and --version the command line is not read: every start behaves the same.
    g_openingDisplay = true;
    const QtMessageHandler qtHandler = qInstallMessageHandler(reportNoDisplay);
    QApplication application(argc, argv);
    qInstallMessageHandler(qtHandler);
    g_openingDisplay = false;
    std::fputs(g_held.c_str(), stderr);
    if (prefetch)
        prefetch->applicationReady();
    QApplication::setApplicationName(QStringLiteral("Dovrante"));
    // Programs started from here choose their own display system.
    if (platform == PlatformChoice::ThroughXWayland)
        qunsetenv("QT_QPA_PLATFORM");
    if (platform == PlatformChoice::NoClipboardAtStart) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Dovrante"),
                        toQt(noClipboardAtStartMessage()), QMessageBox::Ok);
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return 1;
    }
    QtScreen screen;
    // A picture's natural size is one picture pixel to one device pixel, also on a scaled screen.
    const double pixelsPerInch =
        1440.0 / static_cast<double>(screen.twipsPerPixel()) * screen.devicePixelRatio();
    QtProgramLocation location;
    QtClipboard clipboard(pixelsPerInch, prefetch ? &*prefetch : nullptr,
                          x11Clipboard ? std::string(display) : std::string());
    QtPictureFiles pictures(pixelsPerInch);
    CupsScheduler scheduler;
    QtPrinter printer(scheduler);
    CupsInstalledPrinters installedPrinters(scheduler);
    CupsProfile profile(scheduler);
    QtSettingsStore settings;
    QtFileDialog fileDialog;
    QtFontDialog fontDialog;
    QtMessageBox messageBox;
    LocalFileSystem files;
    ProcessLauncher launcher(location);
    QtClock clock;
    QtMousePointer pointer;
    ProcessEnd programEnd;
    QtStatusWindowHost statusWindow(screen.twipsPerPixel(), screen.monitor());

    const Configuration config{
        DOVRANTE_TOOLS_DIR,
        expandHome(DOVRANTE_TEXT_CLIPS_DIR),
        expandHome(DOVRANTE_PICTURE_START_DIR),
        expandHome(DOVRANTE_FALLBACK_DIR),
    };
    Form1 form(Form1Services{screen, location, clipboard, pictures, printer, installedPrinters,
                             profile, settings, fileDialog, fontDialog, messageBox, files, launcher,
                             clock, pointer, programEnd, statusWindow, config});
    fontConfiguration.join();
    MainWindowView view(form, screen.twipsPerPixel(), screen.monitor());
    messageBox.setOwner(&view);
    const auto beforeModal = [&view] { view.sync(); };
    messageBox.setBeforeModal(beforeModal);
    fileDialog.setBeforeModal(beforeModal);
    fontDialog.setBeforeModal(beforeModal);

    // The widgets take their fonts and places now, while the clip may still be on its way; the
    // text view waits until the capture has decided whether it shows any text.
    view.sync(MainWindowView::TextView::Later);
    form.Form_Load();
    view.sync();
    view.show();
    // The icon is made from the picture compiled in: read as a file it would wake every image
    // plugin, which takes as long as building the whole window.
    QApplication::setWindowIcon(QIcon(QPixmap(dovrante_xpm)));
    return QApplication::exec();
}
