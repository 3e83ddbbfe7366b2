#include "services/process_launcher.h"

#include "qt/qt_strings.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace dovrante {

MaybeFailure ProcessLauncher::start(const std::string &program, const std::string &argument,
                                    int /*windowStyle: the desktop places new windows itself*/)
{
    const QString name = toQt(program);
    if (name.isEmpty())
        return Failure{"no program was named"};

    QString executable;
    if (name.contains(QLatin1Char('/'))) {
        executable = name;
    } else {
        // A bare name is looked for beside this program first, then on the PATH.
        const QFileInfo besideUs(toQt(m_location.programFolder()) + QLatin1Char('/') + name);
        executable = besideUs.isFile() && besideUs.isExecutable()
                         ? besideUs.filePath()
                         : QStandardPaths::findExecutable(name);
    }
    const QFileInfo info(executable);
    if (executable.isEmpty() || !info.exists())
        return Failure{"the program was not found"};
    if (!info.isFile() || !info.isExecutable())
        return Failure{"the program is not executable"};

    // The program gets its argument as one word, never through a shell, so blanks, quotes and
    // shell characters in a path are only characters of that path.
    QProcess process;
    process.setProgram(info.absoluteFilePath());
    process.setArguments(argument.empty() ? QStringList() : QStringList{toQt(argument)});
    process.setStandardInputFile(QProcess::nullDevice());
    if (!process.startDetached())
        return Failure{fromQt(process.errorString())};
    return std::nullopt;
}

} // namespace dovrante
