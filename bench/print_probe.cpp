// Prints a picture file or a text file the way the print command does, on the CUPS default
// destination, and says how long drawing and handing the job over to CUPS took.
//   print_probe picture.png [bw]      print_probe --text file.txt [face] [size]
//   print_probe --printers            (the default-printer entry and the installed printers)
//   print_probe --buttons W H         (pixel centres of cmdPrint and cmdColor on a W x H screen)

#include "app/control_table.h"
#include "app/toolbar_layout.h"
#include "printing/print_support.h"
#include "services/cups_printers.h"
#include "services/cups_scheduler.h"
#include "services/qt_picture_files.h"
#include "services/qt_printer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>

#include <cstdio>
#include <string>

int main(int argc, char *argv[])
{
    using namespace dovrante;
    QGuiApplication application(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: print_probe picture.png [bw] | --text file [face] [size]\n");
        return 2;
    }

    if (args[1] == QLatin1String("--buttons")) {
        // At 96 DPI: 15 twips a pixel.
        const StartupLayout layout =
            computeStartupLayout(args.value(2).toFloat() * 15, args.value(3).toFloat() * 15);
        const std::span<const ControlRow> rows = controlTable();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::string name = rows[i].name;
            if (const auto &place = layout.toolbar[i]; name == "cmdPrint" || name == "cmdColor")
                std::printf("%s %d %d\n", name.c_str(),
                            static_cast<int>((place->left + place->width / 2) / 15),
                            static_cast<int>((place->top + place->height / 2) / 15));
        }
        return 0;
    }
    if (args[1] == QLatin1String("--printers")) {
        CupsScheduler scheduler;
        const CupsProfile profile(scheduler);
        const CupsInstalledPrinters installed(scheduler);
        std::printf("windows/device: %s\n",
                    profile.profileString("windows", "device", ",,,").c_str());
        for (const std::string &name : installed.deviceNames())
            std::printf("installed: %s\n", name.c_str());
        const auto found = FindDefaultPrinter(profile, installed);
        std::printf("default: %s\n", found ? found->c_str() : "(none)");
        return 0;
    }

    CupsScheduler scheduler;
    QtPrinter printer(scheduler);
    QElapsedTimer timer;
    MaybeFailure failure;
    if (args[1] == QLatin1String("--text")) {
        QFile file(args.value(2));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(args.value(2)));
            return 2;
        }
        const std::string text = file.readAll().toStdString();
        printer.setColourMode(ColourMode::Monochrome);
        timer.start();
        printer.setFont(FontSpec{args.value(3, QStringLiteral("Courier")).toStdString(),
                                 args.value(4, QStringLiteral("10")).toFloat(), false, false, false,
                                 false});
        printer.printText(text);
        failure = printer.endDoc();
    } else {
        QImageReader::setAllocationLimit(0);
        const QImage image(args[1]);
        if (image.isNull()) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(args[1]));
            return 2;
        }
        const QtPicture picture(image, 96.0);
        printer.setColourMode(args.value(2) == QLatin1String("bw") ? ColourMode::Monochrome
                                                                   : ColourMode::FullColour);
        timer.start();
        failure = PrintPictureFitted(printer, picture);
        if (!failure)
            failure = printer.endDoc();
    }
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (failure) {
        std::fprintf(stderr, "failed after %.3f s: %s\n", seconds, failure->description.c_str());
        return 1;
    }
    std::printf("%.3f\n", seconds);
    return 0;
}
