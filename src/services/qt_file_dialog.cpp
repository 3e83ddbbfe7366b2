#include "services/qt_file_dialog.h"

#include "qt/qt_strings.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QRegularExpression>

namespace dovrante {

namespace {

// The patterns a description names in its last parentheses, as in "JPG Files (*.jpg)".
QStringList patternsNamedIn(const QString &description)
{
    static const QRegularExpression lastParentheses(QStringLiteral("\\(([^()]*)\\)\\s*$"));
    const QRegularExpressionMatch match = lastParentheses.match(description);
    if (!match.hasMatch())
        return {};
    return match.captured(1).split(QRegularExpression(QStringLiteral("[;\\s]+")),
                                   Qt::SkipEmptyParts);
}

QStringList qtPatterns(const QStringList &patterns)
{
    QStringList result;
    for (const QString &pattern : patterns) {
        const QString trimmed = pattern.trimmed();
        if (trimmed.isEmpty())
            continue;
        // On the classic desktop "*.*" matches names without a dot too.
        result.append(trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
    }
    return result;
}

// A name typed in the dialog, in the dialog's folder unless it names its own, with the default
// suffix when it has none (as the dialog adds it).
QString typedPath(const QDir &folder, const QString &typed, const QString &defaultSuffix)
{
    QString path = folder.absoluteFilePath(typed);
    if (!defaultSuffix.isEmpty() && QFileInfo(path).suffix().isEmpty() && !QFileInfo(path).isDir())
        path += QLatin1Char('.') + defaultSuffix;
    return path;
}

} // namespace

QStringList qtNameFilters(const std::string &filter)
{
    const QStringList parts = toQt(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString pattern = i + 1 < parts.size() ? parts[i + 1] : QString();
        if (description.isEmpty() && pattern.trimmed().isEmpty())
            continue;
        QStringList patterns = qtPatterns(pattern.split(QLatin1Char(';')));
        if (patterns.isEmpty())
            patterns = qtPatterns(patternsNamedIn(description));
        if (patterns.isEmpty())
            patterns = QStringList{QStringLiteral("*")};
        // Shown without its details, so the user reads the description exactly as given.
        filters.append(description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')'));
    }
    return filters;
}

FileDialogStart fileDialogStart(const FileDialogRequest &request)
{
    const QString initial = toQt(request.initialFileName);
    const qsizetype slash = initial.lastIndexOf(QLatin1Char('/'));
    QString folder = slash >= 0 ? initial.left(slash + 1) : QString();
    QString name = slash >= 0 ? initial.mid(slash + 1) : initial;
    if (name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?')))
        name.clear();
    if (folder.isEmpty())
        folder = toQt(request.initialFolder);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return FileDialogStart{folder, name};
}

FileDialogResult QtFileDialog::show(const FileDialogRequest &request)
{
    if (m_beforeModal)
        m_beforeModal();

    QFileDialog dialog(QApplication::activeWindow(), toQt(request.title));
    dialog.setObjectName(QStringLiteral("FileDialog"));
    // No overwrite question from the dialog: the program asks its own. No length limit either.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite |
                      QFileDialog::HideNameFilterDetails);
    const bool save = request.mode == FileDialogRequest::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Opening does not insist on an existing file: the load that follows says what is wrong.
    dialog.setFileMode(QFileDialog::AnyFile);

    const QStringList filters = qtNameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
            dialog.selectNameFilter(filters[request.filterIndex - 1]);
    }
    dialog.setDefaultSuffix(toQt(request.defaultExtension));

    const FileDialogStart start = fileDialogStart(request);
    dialog.setDirectory(start.folder);
    if (!start.fileName.isEmpty())
        dialog.selectFile(start.fileName);

    if (dialog.exec() != QDialog::Accepted)
        return FileDialogResult{FileDialogResult::Outcome::Cancelled, {}, {}, {}};
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return FileDialogResult{FileDialogResult::Outcome::Failed, {}, {}, "No file was chosen"};
    QString path = files.first();
    // Qt reads a typed name holding double quotes as a list of quoted names ("my "best"
    // shot.jpg" gives best.jpg); the name is taken as typed instead.
    if (const auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        edit && edit->text().contains(QLatin1Char('"')))
        path = typedPath(dialog.directory(), edit->text(), dialog.defaultSuffix());
    return FileDialogResult{
        FileDialogResult::Outcome::Chosen, fromQt(path), fromQt(QFileInfo(path).fileName()), {}};
}

} // namespace dovrante
