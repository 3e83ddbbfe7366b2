#pragma once

#include "platform/file_dialog.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace dovrante {

// Qt's own file dialog rather than the desktop's, so that it behaves the same everywhere and can
// be driven by key strokes in tests. Its object name is "FileDialog".
class QtFileDialog final : public FileDialog {
public:
    // Called before each dialog, so that the window shows the model's state while it waits.
    void setBeforeModal(std::function<void()> beforeModal)
    {
        m_beforeModal = std::move(beforeModal);
    }
    FileDialogResult show(const FileDialogRequest &request) override;

private:
    std::function<void()> m_beforeModal;
};

// "Description|pattern|..." as Qt name filters "Description (patterns)". Patterns separated by
// ";" become blank-separated, "*.*" becomes "*" (every file, with or without a dot), and a
// description with an empty pattern still appears, filtering by the patterns its own parentheses
// name, or showing every file when it names none.
QStringList qtNameFilters(const std::string &filter);

// Where the dialog opens and the name it fills in.
struct FileDialogStart {
    QString folder;
    QString fileName;
};

// The folder of the initial name when it has one, else the initial folder; a missing folder opens
// the home folder. A name with wildcards ("*.*", "*.txt") is a pattern and fills in no name.
FileDialogStart fileDialogStart(const FileDialogRequest &request);

} // namespace dovrante
