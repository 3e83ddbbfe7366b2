#include "services/qt_program_location.h"

#include "qt/qt_strings.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace dovrante {

namespace {

QFileInfo executable()
{
    const QFileInfo info(QCoreApplication::applicationFilePath());
    const QString resolved = info.canonicalFilePath();
    return resolved.isEmpty() ? info : QFileInfo(resolved);
}

} // namespace

std::string QtProgramLocation::programFolder() const
{
    QString folder = executable().absolutePath();
    // The root folder is the one folder whose name ends in a separator.
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return fromQt(folder == QLatin1String("/") ? QString() : folder);
}

std::string QtProgramLocation::executableName() const
{
    return fromQt(executable().fileName());
}

std::string QtProgramLocation::baseName() const
{
    return fromQt(executable().completeBaseName());
}

} // namespace dovrante
