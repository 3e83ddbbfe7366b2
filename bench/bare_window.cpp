// The least a Qt program does to put a window on the screen: a plain widget as large as the
// screen, shown at once. Start-up figures of the program are read against it.
//
//   bare_window             the plain window
//   bare_window --captions  the same with a row of fourteen buttons and a text box, captioned in
//                           the tool bar's fonts: what any window pays for its first text

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include <cstring>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setGeometry(QGuiApplication::primaryScreen()->geometry());
    if (argc > 1 && std::strcmp(argv[1], "--captions") == 0) {
        QFont font(QStringLiteral("MS Sans Serif"));
        font.setPointSizeF(8.25);
        int left = 100;
        for (const char *caption : {"Font", "P", "O", "Print", "Color", "C", "Reload", "F", "S",
                                    "SaveAs", "T", "B", "Ideas", "_"}) {
            auto *button = new QPushButton(QString::fromLatin1(caption), &window);
            button->setFont(font);
            button->setGeometry(left, 6, 40, 20);
            left += 44;
        }
        font.setBold(true);
        auto *box = new QLineEdit(QStringLiteral("-"), &window);
        box->setFont(font);
        box->setGeometry(left, 6, 17, 20);
    }
    window.show();
    return QApplication::exec();
}
