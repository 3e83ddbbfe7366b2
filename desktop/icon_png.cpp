// Writes the program's icon, drawn as an XPM, as the PNG that icon themes look for.

#include <QImage>
#include <QString>

int main(int argc, char *argv[])
{
    if (argc != 3)
        return 2;
    const QImage icon(QString::fromLocal8Bit(argv[1]), "XPM");
    return !icon.isNull() && icon.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}
