#include "app/date_time_name.h"
#include "app/form1.h"
#include "files/image_folder.h"
#include "files/outside_program.h"

#include <string>

namespace dovrante {

namespace {

const std::string Rule(79, '-');
constexpr const char *CrLf = "\r\n";
constexpr const char *PictureFilter = "All Files (*.*)|*.*|JPG Files (*.jpg)|";
constexpr const char *TextFilter =
    "All Files (*.*)|*.*|Text Files (*.txt)|*.txt|Bitmap Files (*.bmp)|";

// The text file Save As writes: its own path, three empty lines, a rule, the text, then rules
// with empty lines between them.
std::string textFileRecord(const std::string &path, const std::string &text)
{
    std::string record = path + CrLf;
    record += std::string(CrLf) + CrLf + CrLf;
    record += Rule + CrLf;
    record += text + CrLf;
    record += std::string(CrLf) + Rule + CrLf;
    record += std::string(CrLf) + CrLf + Rule + CrLf;
    record += std::string(CrLf) + CrLf + Rule + CrLf;
    return record;
}

// Asks before a file of that name is replaced; true when the file may be written.
bool mayWrite(FileSystem &files, MessageBox &messageBox, const std::string &path)
{
    const std::optional<int> bits = files.attributes(path);
    if (!bits)
        return true;
    const std::string title = *bits == FileAttribute::Archive
                                  ? "File exists"
                                  : "Unexpected..  GA is " + std::to_string(*bits);
    const MessageBox::Answer answer = messageBox.show(
        "Overwrite  " + path + CrLf + CrLf + "Yes or No ?", MessageBox::Buttons::YesNo,
        MessageBox::Icon::Question, MessageBox::Answer::No, title);
    return answer == MessageBox::Answer::Yes;
}

// A dialog that ended without a file: cancelling says nothing, a failure is described.
bool chosen(MessageBox &messageBox, const FileDialogResult &result)
{
    if (result.outcome == FileDialogResult::Outcome::Failed)
        messageBox.show(result.error);
    return result.outcome == FileDialogResult::Outcome::Chosen;
}

// Writes the picture in bitmap format; a window without a picture fails like a write would.
MaybeFailure writePicture(PictureFiles &pictures, const PicturePtr &picture,
                          const std::string &path)
{
    if (!picture)
        return Failure{"Cannot save " + path + ": there is no picture"};
    return pictures.saveAsBitmap(*picture, path);
}

} // namespace

void Form1::cmdSave_Click()
{
    if (!holdsAClip("save"))
        return;
    if (clipKind == ClipKind::Text)
        AppendTextData();
    if (clipKind == ClipKind::Picture)
        SaveScreenImage();
}

void Form1::SaveScreenImage()
{
    // No folder is made and no other name tried: a missing BMP Data folder is reported as it is.
    const std::string path =
        bmpDataFolder + "/" + formatDateTimeName(m_services.clock.now()) + ".jpg";
    if (const MaybeFailure failed = writePicture(m_services.pictures, Image1.picture, path))
        m_services.messageBox.show(failed->description);
}

void Form1::cmdSaveAs_Click()
{
    if (!holdsAClip("save"))
        return;
    // Answering No to the overwrite question shows the dialog again, set up from scratch.
    for (;;) {
        FileDialogRequest request;
        request.mode = FileDialogRequest::Mode::Save;
        request.title = "Save As";
        request.filterIndex = 2;

        if (clipKind == ClipKind::Text) {
            request.filter = TextFilter;
            request.defaultExtension = ".EXT";
            request.initialFileName = "*.txt";
            request.initialFolder = m_services.config.textClipsFolder;
            const FileDialogResult result = m_services.fileDialog.show(request);
            if (!chosen(m_services.messageBox, result))
                return;
            if (!mayWrite(m_services.files, m_services.messageBox, result.path))
                continue;
            // Written whole beside the target and renamed over it, so a failure leaves the old
            // file.
            if (const MaybeFailure failed = m_services.files.writeWhole(
                    result.path, textFileRecord(result.path, RichTextBox1.text))) {
                m_services.messageBox.show(failed->description);
                return;
            }
            startOutsideProgram(m_services.launcher, m_services.messageBox,
                                m_services.config.toolsFolder + "/Mervoxen", result.path,
                                WindowStyle::MinimizedFocus);
            return;
        }

        const std::string folder = ImageFolder::read(m_services.program, m_services.settings);
        request.filter = PictureFilter;
        request.defaultExtension = "jpg";
        request.initialFileName =
            ImageFolder::initialName(m_services.files, folder, m_services.config.fallbackFolder);
        request.initialFolder = m_services.config.pictureStartFolder;
        const FileDialogResult result = m_services.fileDialog.show(request);
        if (!chosen(m_services.messageBox, result))
            return;
        if (!mayWrite(m_services.files, m_services.messageBox, result.path))
            continue;
        if (const MaybeFailure failed =
                writePicture(m_services.pictures, Image1.picture, result.path)) {
            // Nothing was saved, so neither the folder nor the caption names the file.
            m_services.messageBox.show(failed->description);
            return;
        }
        ImageFolder::remember(m_services.settings, result.path, result.fileName);
        setClipName(result.path);
        return;
    }
}

} // namespace dovrante
