#include "app/form1.h"
#include "printing/dovrant_s.h"
#include "printing/print_support.h"

namespace dovrante {

void Form1::cmdPrint_Click()
{
    if (!holdsAClip("print"))
        return;
    const Form1Services &s = m_services;
    s.pointer.setPointer(PointerShape::Hourglass);
    const bool text = clipKind == ClipKind::Text;

    // Shown and painted now: the print calls below hold the user-interface thread.
    DovrantS status(DovrantS::Services{s.printer, s.profile, s.installedPrinters, s.statusWindow},
                    clipKind);
    status.Show();

    MaybeFailure failure;
    if (text) {
        s.printer.setFont(RichTextBox1.font);
        s.printer.printText(RichTextBox1.text);
        failure = s.printer.endDoc();
    } else if (!Picture2.picture) {
        failure = Failure{"there is no picture to print"};
    } else {
        failure = PrintPictureFitted(s.printer, *Picture2.picture);
        if (!failure)
            failure = s.printer.endDoc();
    }

    if (failure) {
        // Nothing was handed over: say so and let the user go on with the clip.
        status.Unload();
        s.pointer.setPointer(PointerShape::Default);
        const std::string name = s.printer.deviceName();
        s.messageBox.show("Nothing was printed on " +
                              (name.empty() ? std::string(DovrantS::NoDefaultPrinter) : name) +
                              ": " + failure->description,
                          MessageBox::Buttons::Ok, MessageBox::Icon::Critical);
        return;
    }
    s.pointer.setPointer(PointerShape::Default);
    s.programEnd.endProgram();
}

} // namespace dovrante
