#include "platform/qt/qt_clipboard.h"

#include "platform/qt/clipboard_formats.h"
#include "platform/qt/qt_picture.h"
#include "platform/qt/qt_strings.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>

namespace dovrante {

namespace {

std::vector<std::string> decodableImageTypes()
{
    std::vector<std::string> types;
    for (const QByteArray &type : QImageReader::supportedMimeTypes())
        types.push_back(type.toStdString());
    return types;
}

} // namespace

QtClipboard::QtClipboard(double pixelsPerInch)
    : m_pixelsPerInch(pixelsPerInch)
    , m_decodable(decodableImageTypes())
{
}

std::vector<int> QtClipboard::availableFormats()
{
    // One question to the clipboard's owner; the answers below ask only for the one type needed.
    // (hasImage() and the like ask for many types in turn, each waiting on an owner that may hang.)
    m_offered.clear();
    if (const QMimeData *data = QGuiApplication::clipboard()->mimeData()) {
        for (const QString &type : data->formats())
            m_offered.push_back(fromQt(type));
    }
    return clipboardFormatNumbers(m_offered, m_decodable);
}

Result<std::string> QtClipboard::text()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    // One type asked for where the owner offers UTF-8: QMimeData::text() asks for two in turn,
    // each waiting the full timeout on an owner that does not answer.
    const QString utf8 = QStringLiteral("text/plain;charset=utf-8");
    QString text;
    if (data && data->hasFormat(utf8))
        text = QString::fromUtf8(data->data(utf8));
    else if (data)
        text = data->text();
    // Qt gives up on an owner that does not hand the text over and returns nothing; that is not
    // a clip of empty text to be shown and recorded.
    if (text.isEmpty())
        return Failure{"The clipboard offers text, but none came from the program that holds it "
                       "(it did not answer in time, has ended, or offers empty text). Nothing was "
                       "taken."};
    return fromQt(text);
}

Result<PicturePtr> QtClipboard::picture()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    const std::string type = bestPictureType(m_offered, m_decodable);
    if (!data || type.empty())
        return Failure{"The clipboard holds no picture that can be read."};

    QByteArray bytes = data->data(toQt(type));
    if (bytes.isEmpty())
        return Failure{"The clipboard's picture (" + type + ") could not be fetched."};
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer);
    return decodePicture(reader, m_pixelsPerInch, "The clipboard's picture (" + type + ")");
}

void QtClipboard::clear()
{
    QGuiApplication::clipboard()->clear();
    m_offered.clear();
}

void QtClipboard::setPicture(const PicturePtr &picture)
{
    if (const auto *qtPicture = dynamic_cast<const QtPicture *>(picture.get())) {
        // Offered as an image: Qt serves it as png, bmp and the other types it can write.
        auto *data = new QMimeData;
        data->setImageData(qtPicture->image());
        QGuiApplication::clipboard()->setMimeData(data);
    }
}

} // namespace dovrante
