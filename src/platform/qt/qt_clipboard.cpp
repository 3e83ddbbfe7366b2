#include "platform/qt/qt_clipboard.h"

#include "platform/qt/qt_picture.h"
#include "platform/qt/qt_strings.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace dovrante {

std::vector<int> QtClipboard::availableFormats()
{
    std::vector<int> formats;
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return formats;
    if (data->hasText())
        formats.push_back(ClipFormat::Text);
    if (data->hasImage())
        formats.push_back(ClipFormat::Bitmap);
    return formats;
}

std::string QtClipboard::text()
{
    return fromQt(QGuiApplication::clipboard()->text());
}

Result<PicturePtr> QtClipboard::picture()
{
    QImage image = QGuiApplication::clipboard()->image();
    if (image.isNull())
        return Failure{"The clipboard's picture cannot be read"};
    return PicturePtr(std::make_shared<QtPicture>(std::move(image), m_dpi));
}

void QtClipboard::clear()
{
    QGuiApplication::clipboard()->clear();
}

void QtClipboard::setPicture(const PicturePtr &picture)
{
    if (const auto *qtPicture = dynamic_cast<const QtPicture *>(picture.get()))
        QGuiApplication::clipboard()->setImage(qtPicture->image());
}

} // namespace dovrante
