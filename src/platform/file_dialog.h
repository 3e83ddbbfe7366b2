#pragma once

#include <string>

namespace dovrante {

// What a file dialog is opened with. Paths use "/" between folder and name.
struct FileDialogRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    std::string title;
    // Description and pattern pairs separated by "|"; a trailing "|" leaves the last description
    // with an empty pattern.
    std::string filter;
    // 1-based index of the filter entry selected at first.
    int filterIndex = 1;
    std::string defaultExtension;
    // Initial name; one ending in "*.*" opens that folder with no name filled in.
    std::string initialFileName;
    std::string initialFolder;
};

struct FileDialogResult {
    enum class Outcome { Chosen, Cancelled, Failed };
    Outcome outcome = Outcome::Cancelled;
    // The chosen full path, and its last component as the dialog shows it.
    std::string path;
    std::string fileName;
    // Why the dialog failed, when it did.
    std::string error;
};

// The system's open and save file dialogs.
class FileDialog {
public:
    virtual ~FileDialog() = default;
    FileDialog() = default;
    FileDialog(const FileDialog &) = delete;
    FileDialog &operator=(const FileDialog &) = delete;

    // Shows the dialog modally; cancelling is its own outcome.
    virtual FileDialogResult show(const FileDialogRequest &request) = 0;
};

} // namespace dovrante
