#include "app/form1.h"
#include "files/image_folder.h"
#include "files/outside_program.h"

namespace dovrante {

void Form1::cmdOpen_Click()
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.title = "Open Clip File";
    request.filter = "All Files (*.*)|*.*|JPG Files (*.jpg)|";
    request.filterIndex = 2;
    request.defaultExtension = ".jpg";
    request.initialFileName = ImageFolder::initialName(
        m_services.files, ImageFolder::read(m_services.program, m_services.settings),
        m_services.config.fallbackFolder);
    request.initialFolder = m_services.config.pictureStartFolder;

    const FileDialogResult result = m_services.fileDialog.show(request);
    if (result.outcome == FileDialogResult::Outcome::Cancelled)
        return;
    if (result.outcome == FileDialogResult::Outcome::Failed) {
        m_services.messageBox.show(result.error);
        return;
    }
    // The picture is loaded before the clipboard is touched, so a file that is not a picture
    // leaves the clipboard as it was.
    const Result<PicturePtr> loaded = m_services.pictures.load(result.path);
    if (!loaded.ok()) {
        m_services.messageBox.show(loaded.error());
        return;
    }
    m_services.clipboard.setPicture(loaded.value());
    ImageFolder::remember(m_services.settings, result.path, result.fileName);

    setClipName(result.path);
    // The new copy shows the picture by taking it from the clipboard at its own start.
    startOutsideProgram(m_services.launcher, m_services.messageBox,
                        m_services.config.toolsFolder + "/Dovrante", "",
                        WindowStyle::MinimizedFocus);
}

} // namespace dovrante
