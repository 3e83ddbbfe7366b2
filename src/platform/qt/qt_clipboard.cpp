#include "platform/qt/qt_clipboard.h"

#include "platform/qt/clipboard_formats.h"
#include "platform/qt/qt_picture.h"
#include "qt/qt_strings.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>

#include <algorithm>
#include <utility>

namespace dovrante {

namespace {

const std::vector<std::string> NoDecodableTypes;

} // namespace

std::string clipboardTextNeverCame()
{
    return "The clipboard offers text, but none came from the program that holds it (it did not "
           "answer in time, has ended, or offers empty text). Nothing was taken.";
}

QtClipboard::QtClipboard(double pixelsPerInch, ClipboardPrefetch *prefetch)
    : m_pixelsPerInch(pixelsPerInch)
    , m_prefetch(prefetch)
{}

const std::vector<std::string> &QtClipboard::decodable()
{
    if (m_decodable.empty())
        m_decodable = decodableImageTypes();
    return m_decodable;
}

std::vector<int> QtClipboard::availableFormats()
{
    m_snapshot.reset();
    if (m_prefetch) {
        m_snapshot = m_prefetch->take();
        m_prefetch = nullptr;
        if (m_snapshot) {
            m_offered = m_snapshot->offered;
            // Kept for later captures only when it lists the plugins' types too.
            if (needsImagePlugins(m_offered))
                m_decodable = m_snapshot->decodable;
        }
    }
    if (!m_snapshot) {
        // One question to the clipboard's owner; the answers below ask only for the one type
        // needed. (hasImage() and the like ask for many types in turn, each waiting on an owner
        // that may hang.)
        m_offered.clear();
        if (const QMimeData *data = QGuiApplication::clipboard()->mimeData()) {
            for (const QString &type : data->formats())
                m_offered.push_back(fromQt(type));
        }
    }
    // The snapshot's types decide about the pictures it holds; Qt's plugins are asked only when
    // some other type needs them.
    if (m_snapshot && !m_snapshot->decodable.empty())
        return clipboardFormatNumbers(m_offered, m_snapshot->decodable);
    return clipboardFormatNumbers(m_offered,
                                  mayHoldPicture(m_offered) ? decodable() : NoDecodableTypes);
}

Result<std::string> QtClipboard::text()
{
    if (m_snapshot && m_snapshot->text)
        return *std::exchange(m_snapshot->text, std::nullopt);
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
        return Failure{clipboardTextNeverCame()};
    return fromQt(text);
}

std::string QtClipboard::uriList()
{
    // Asked for only when offered: the owner of a clipboard without one is not kept waiting.
    const std::string type = "text/uri-list";
    if (std::find(m_offered.begin(), m_offered.end(), type) == m_offered.end())
        return {};
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data ? data->data(toQt(type)).toStdString() : std::string();
}

Result<PicturePtr> QtClipboard::picture()
{
    if (m_snapshot && m_snapshot->picture) {
        const Result<QImage> taken = *std::exchange(m_snapshot->picture, std::nullopt);
        if (!taken.ok())
            return Failure{taken.error()};
        return PicturePtr(std::make_shared<QtPicture>(taken.value(), m_pixelsPerInch));
    }
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    const std::string type = bestPictureType(m_offered, decodable());
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
    m_snapshot.reset();
    QGuiApplication::clipboard()->clear();
    m_offered.clear();
}

void QtClipboard::setPicture(const PicturePtr &picture)
{
    if (const QImage *image = imageOf(picture.get())) {
        // Offered as an image: Qt serves it as png, bmp and the other types it can write.
        auto *data = new QMimeData;
        data->setImageData(*image);
        QGuiApplication::clipboard()->setMimeData(data);
    }
}

} // namespace dovrante
