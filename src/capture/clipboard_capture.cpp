#include "app/date_time_name.h"
#include "app/form1.h"
#include "capture/line_breaks.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <new>

namespace dovrante {

namespace {

// Only a single line no longer than the system's longest path can name a file.
bool namesJpegFile(const std::string &text)
{
    if (text.size() < 4 || text.size() >= PATH_MAX ||
        text.find_first_of("\r\n") != std::string::npos)
        return false;
    std::string ending = text.substr(text.size() - 4);
    for (char &c : ending)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ending == ".jpg";
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// The local file that a "file:" URL names (file:///p, file://localhost/p, file:/p), its
// percent-escapes decoded; empty for anything else.
std::string localFileOf(const std::string &url)
{
    std::string scheme = url.substr(0, 5);
    for (char &c : scheme)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (scheme != "file:")
        return {};
    std::string escaped = url.substr(5);
    if (escaped.rfind("//", 0) == 0) {
        const std::size_t slash = escaped.find('/', 2);
        const std::string host = escaped.substr(2, slash - 2);
        if (slash == std::string::npos || (!host.empty() && host != "localhost"))
            return {};
        escaped.erase(0, slash);
    }
    if (escaped.empty() || escaped[0] != '/')
        return {};
    std::string path;
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '%') {
            path += escaped[i];
            continue;
        }
        const int high = i + 2 < escaped.size() ? hexDigit(escaped[i + 1]) : -1;
        const int low = high >= 0 ? hexDigit(escaped[i + 2]) : -1;
        if (low < 0 || (high == 0 && low == 0))
            return {};
        path += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return path;
}

// The local file named by a list of locations (text/uri-list, or text that is one) whose one
// entry, comments and line breaks aside, is a "file:" URL; empty for any other list.
std::string onlyLocalFile(const std::string &list)
{
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find('\n', start), list.size());
        std::string line = list.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] != '#')
            entries.push_back(line);
        start = end + 1;
    }
    return entries.size() == 1 ? localFileOf(entries[0]) : std::string();
}

} // namespace

void Form1::ReloadFromClipboard()
{
    // A clip too large for the memory left is said, never a crash; the view keeps what it showed
    // unless the clip had already taken its place.
    try {
        takeClipboard();
    } catch (const std::bad_alloc &) {
        m_services.messageBox.show("There was not enough memory to take the clip. Nothing was "
                                   "taken.");
    }
}

void Form1::takeClipboard()
{
    Clipboard &clipboard = m_services.clipboard;
    // What the clipboard offers is asked once: every question to its owner may wait on it.
    Result<std::vector<int>> offered = clipboard.availableFormats();
    if (!offered.ok()) {
        m_services.messageBox.show(offered.error());
        return;
    }
    std::vector<int> formats = std::move(offered.value());
    const auto holds = [&formats](int format) {
        return std::find(formats.begin(), formats.end(), format) != formats.end();
    };
    std::string text;
    if (holds(ClipFormat::Text)) {
        Result<std::string> taken = clipboard.text();
        if (!taken.ok()) {
            // Text that never came is neither shown nor recorded: the view keeps the last clip.
            m_services.messageBox.show(taken.error());
            return;
        }
        text = std::move(taken.value());
    }

    // Clipboard text naming a JPEG file stands for that file's picture, and so does a file
    // manager's copy of one such file. The file is loaded before the clipboard is touched, so a
    // name that does not load loses nothing.
    std::string jpegFile = onlyLocalFile(text);
    if (jpegFile.empty())
        jpegFile = text;
    if (!namesJpegFile(jpegFile)) {
        jpegFile = onlyLocalFile(clipboard.uriList());
        if (!namesJpegFile(jpegFile))
            jpegFile.clear();
    }
    PicturePtr loaded;
    if (!jpegFile.empty()) {
        Result<PicturePtr> picture = m_services.pictures.load(jpegFile);
        if (!picture.ok()) {
            m_services.messageBox.show(picture.error());
            return;
        }
        loaded = picture.value();
        clipboard.clear();
        clipboard.setPicture(loaded);
        setClipName(jpegFile);
        formats = {ClipFormat::Bitmap};
    }

    if (holds(ClipFormat::Text)) {
        clipKind = ClipKind::Text;
        Picture1.visible = false;
        RichTextBox1.visible = true;
        cmdFont.visible = true;
        cmdFontP.visible = true;
        HScroll1.visible = false;
        VScroll1.visible = false;
        RichTextBox1.text = withCrLfBreaks(text);
        setColourMode(false);
        AppendTextData();
        return;
    }

    if (holds(ClipFormat::Bitmap)) {
        PicturePtr picture = loaded;
        if (!picture) {
            Result<PicturePtr> read = clipboard.picture();
            if (!read.ok()) {
                // The view keeps showing what it showed: nothing was taken.
                m_services.messageBox.show(read.error());
                return;
            }
            picture = read.value();
        }
        clipKind = ClipKind::Picture;
        RichTextBox1.visible = false;
        cmdFont.visible = false;
        cmdFontP.visible = false;
        HScroll1.visible = true;
        VScroll1.visible = true;
        Picture2.picture = std::move(picture);
        LayoutPicture();
        setColourMode(true);

        // A caption that already carries this year's date-and-time name stays.
        if (caption.substr(0, 4) == formatYear(m_services.clock.now()))
            return;
        if (caption == DesignCaption) {
            makeDateCaption();
            caption = dateCaption;
        }
        return;
    }

    // Neither text nor a picture: say what the clipboard holds instead, and show nothing new.
    clipKind = ClipKind::Nothing;
    for (int format : {3, 4, 5, 6, 7, 8, 9, 0}) {
        if (holds(format))
            clipKind = clipKindOfFormat(format);
    }
    if (clipKind != ClipKind::Nothing)
        m_services.messageBox.show("Bad format: " + clipKindText(clipKind));
    std::sort(formats.begin(), formats.end());
    formats.erase(std::unique(formats.begin(), formats.end()), formats.end());
    for (int format : formats) {
        if (format >= 0 && format <= 9999)
            m_services.messageBox.show(std::to_string(format), MessageBox::Buttons::Ok,
                                       MessageBox::Icon::None, MessageBox::Answer::Ok,
                                       std::string("GetFormat number is"));
    }
}

void Form1::cmdReload_Click()
{
    ReloadFromClipboard();
}

void Form1::RichTextBox1_MouseDown(MouseButton button)
{
    if (button == MouseButton::Right)
        ReloadFromClipboard();
    else if (button == MouseButton::Left)
        ToggleToolbar();
}

} // namespace dovrante
