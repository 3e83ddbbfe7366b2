#include "services/qt_clipboard.h"

#include "qt/qt_strings.h"
#include "services/clip_decoding.h"
#include "services/clipboard_formats.h"
#include "services/held_input.h"
#include "services/qt_picture_files.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>
#include <new>
#include <utility>

namespace dovrante {

namespace {

// What Qt handed over, as a fetch: Qt gives nothing for an owner that did not answer.
Fetched fetchedThroughQt(const QMimeData *data, const std::string &type)
{
    const QByteArray bytes = data ? data->data(toQt(type)) : QByteArray();
    return {bytes.isEmpty() ? FetchOutcome::NoAnswer : FetchOutcome::Whole, bytes.toStdString()};
}

} // namespace

QtClipboard::QtClipboard(double pixelsPerInch, ClipboardPrefetch *prefetch, std::string x11Display)
    : m_pixelsPerInch(pixelsPerInch)
    , m_prefetch(prefetch)
    , m_x11Display(std::move(x11Display))
{}

Result<std::vector<int>> QtClipboard::availableFormats()
{
    m_snapshot.reset();
    if (m_prefetch) {
        m_snapshot = m_prefetch->take();
        m_prefetch = nullptr;
    } else if (!m_x11Display.empty() && !QGuiApplication::clipboard()->ownsClipboard()) {
        // The owner is asked as at the start, with the same deadline, limits and rules. The
        // program's own clip is left to Qt, whose answers come from this very thread. An owner
        // may take its time: meanwhile the windows are painted and Escape ends the program,
        // and other keys and clicks wait until the clip is in.
        ClipboardPrefetch fetch(m_x11Display.c_str());
        fetch.applicationReady();
        HeldInput held;
        held.waitUntil([&fetch] { return fetch.isReady(); }, std::nullopt);
        m_snapshot = fetch.take();
    }
    if (m_snapshot) {
        if (m_snapshot->unanswered)
            return Failure{clipboardOwnerDidNotAnswer()};
        if (m_snapshot->outOfMemory)
            throw std::bad_alloc(); // said where the clip is taken
        m_offered = m_snapshot->offered;
        m_decodable = m_snapshot->decodable;
    } else {
        // One question to the clipboard's owner; the answers below ask only for the one type
        // needed. (hasImage() and the like ask for many types in turn, each waiting on an owner
        // that may hang.)
        m_offered.clear();
        if (const QMimeData *data = QGuiApplication::clipboard()->mimeData()) {
            for (const QString &type : data->formats())
                m_offered.push_back(fromQt(type));
        }
        m_decodable = decodableImageTypes(m_offered);
    }
    return clipboardFormatNumbers(m_offered, m_decodable);
}

Result<std::string> QtClipboard::text()
{
    if (m_snapshot && m_snapshot->text)
        return *std::exchange(m_snapshot->text, std::nullopt);
    // The program's own clip, or one on a desktop that is not X11's: one type asked for, the
    // best offered, and decoded by the same rules. Qt gives up on an owner that does not hand the
    // text over and gives nothing; that is not a clip of empty text to be shown and recorded.
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    const std::vector<std::string> types = textTargetsInOrder(m_offered);
    if (!data || types.empty())
        return Failure{clipboardTextNeverCame()};
    return clipText(types.front(), fetchedThroughQt(data, types.front()));
}

std::string QtClipboard::uriList()
{
    if (m_snapshot)
        return std::exchange(m_snapshot->uriList, std::nullopt).value_or(std::string());
    // Asked for only when offered: the owner of a clipboard without one is not kept waiting.
    if (std::find(m_offered.begin(), m_offered.end(), UriListType) == m_offered.end())
        return {};
    return clipUriList(fetchedThroughQt(QGuiApplication::clipboard()->mimeData(), UriListType));
}

Result<PicturePtr> QtClipboard::picture()
{
    const auto picture = [this](const Result<QImage> &image) -> Result<PicturePtr> {
        if (!image.ok())
            return Failure{image.error()};
        return PicturePtr(std::make_shared<QtPicture>(image.value(), m_pixelsPerInch));
    };
    if (m_snapshot && m_snapshot->picture)
        return picture(*std::exchange(m_snapshot->picture, std::nullopt));
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    const std::string type = bestPictureType(m_offered, m_decodable);
    if (!data || type.empty())
        return Failure{"The clipboard holds no picture that can be read."};
    return picture(clipPicture(type, fetchedThroughQt(data, type)));
}

void QtClipboard::clear()
{
    m_snapshot.reset();
    QGuiApplication::clipboard()->clear();
    m_offered.clear();
    m_decodable.clear();
}

void QtClipboard::setPicture(const PicturePtr &picture)
{
    const auto *qtPicture = dynamic_cast<const QtPicture *>(picture.get());
    if (!qtPicture)
        return;
    auto *data = new QMimeData;
    if (!qtPicture->file().isEmpty())
        data->setData(toQt(qtPicture->fileType()), qtPicture->file()); // served as it is
    else
        data->setImageData(qtPicture->image()); // served as png, bmp and the other types Qt writes
    QGuiApplication::clipboard()->setMimeData(data);
}

} // namespace dovrante
