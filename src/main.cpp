#include "app/form1.h"
#include "platform/qt/cups_printers.h"
#include "platform/qt/local_file_system.h"
#include "platform/qt/process_end.h"
#include "platform/qt/process_launcher.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_file_dialog.h"
#include "platform/qt/qt_font_dialog.h"
#include "platform/qt/qt_message_box.h"
#include "platform/qt/qt_mouse_pointer.h"
#include "platform/qt/qt_picture.h"
#include "platform/qt/qt_printer.h"
#include "platform/qt/qt_program_location.h"
#include "platform/qt/qt_screen.h"
#include "platform/qt/qt_settings_store.h"
#include "platform/qt/qt_status_window_host.h"
#include "platform/qt/qt_strings.h"
#include "platform/qt/session_platform.h"
#include "view/main_window_view.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QImageReader>
#include <QMessageBox>

#include <cstdio>

namespace {

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

    const PlatformChoice platform = choosePlatform(currentSession());
    if (platform == PlatformChoice::ThroughXWayland)
        qputenv("QT_QPA_PLATFORM", "xcb");
    if (platform == PlatformChoice::NoClipboardAtStart)
        std::fprintf(stderr, "%s\n", noClipboardAtStartMessage().c_str()); // in case no box can show

    // The command line is not read: every start behaves the same.
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dovrante"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/dovrante/dovrante.xpm")));
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
    // Screenshots of large desktops exceed Qt's default limit; 16384 x 16384 at 32 bits is 1 GiB.
    QImageReader::setAllocationLimit(1100);

    QtScreen screen;
    // A picture's natural size is one picture pixel to one device pixel, also on a scaled screen.
    const double pixelsPerInch =
        1440.0 / static_cast<double>(screen.twipsPerPixel()) * screen.devicePixelRatio();
    QtProgramLocation location;
    QtClipboard clipboard(pixelsPerInch);
    QtPictureFiles pictures(pixelsPerInch);
    QtPrinter printer;
    CupsInstalledPrinters installedPrinters;
    CupsProfile profile;
    QtSettingsStore settings;
    QtFileDialog fileDialog;
    QtFontDialog fontDialog;
    QtMessageBox messageBox;
    LocalFileSystem files;
    ProcessLauncher launcher(location);
    QtClock clock;
    QtMousePointer pointer;
    ProcessEnd programEnd;
    QtStatusWindowHost statusWindow(screen.twipsPerPixel());

    const Configuration config{
        DOVRANTE_TOOLS_DIR,
        expandHome(DOVRANTE_TEXT_CLIPS_DIR),
        expandHome(DOVRANTE_PICTURE_START_DIR),
        expandHome(DOVRANTE_FALLBACK_DIR),
    };
    Form1 form(Form1Services{screen, location, clipboard, pictures, printer, installedPrinters,
                             profile, settings, fileDialog, fontDialog, messageBox, files, launcher,
                             clock, pointer, programEnd, statusWindow, config});
    MainWindowView view(form, screen.twipsPerPixel());
    const auto beforeModal = [&view] { view.sync(); };
    messageBox.setBeforeModal(beforeModal);
    fileDialog.setBeforeModal(beforeModal);
    fontDialog.setBeforeModal(beforeModal);

    form.Form_Load();
    view.sync();
    view.show();
    return QApplication::exec();
}
