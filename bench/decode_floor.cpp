// The least any program can do with a picture on the clipboard: decode the bytes it is handed.
// Reads an encoded picture from standard input and decodes it with Qt's image reader.

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageReader>

#include <cstdio>

int main()
{
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return 1;
    QByteArray bytes = input.readAll();
    QBuffer buffer(&bytes);
    QImageReader::setAllocationLimit(1100);
    QImageReader reader(&buffer);
    const QImage image = reader.read();
    std::printf("%dx%d\n", image.width(), image.height());
    return image.isNull() ? 1 : 0;
}
