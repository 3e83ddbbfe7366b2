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
#include "view/main_window_view.h"

#include <QApplication>
#include <QDir>
#include <QImageReader>

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

    // The command line is not read: every start behaves the same.
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dovrante"));
    // Screenshots of large desktops exceed Qt's default limit; 16384 x 16384 at 32 bits is 1 GiB.
    QImageReader::setAllocationLimit(1100);

    QtScreen screen;
    const double dpi = 1440.0 / static_cast<double>(screen.twipsPerPixel());
    QtProgramLocation location;
    QtClipboard clipboard(dpi);
    QtPictureFiles pictures(dpi);
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
