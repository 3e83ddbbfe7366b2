#include "services/qt_settings_store.h"

#include "qt/qt_strings.h"

#include <QSettings>
#include <QStandardPaths>

#include <sys/stat.h>

namespace dovrante {

namespace {

QString keyPath(const std::string &section, const std::string &key)
{
    return toQt(section) + QLatin1Char('/') + toQt(key);
}

// False when the application's settings file is there but is no regular file: QSettings would
// wait for ever on a FIFO as it reads it, and would replace it as it writes. The file is the one
// QSettings keeps for an organisation and application of that name.
bool usable(const std::string &application)
{
    const QString file = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QLatin1Char('/') + toQt(application) + QLatin1Char('/') +
                         toQt(application) + QStringLiteral(".conf");
    struct stat status {};
    return ::stat(file.toLocal8Bit().constData(), &status) != 0 || S_ISREG(status.st_mode);
}

} // namespace

std::string QtSettingsStore::setting(const std::string &application, const std::string &section,
                                     const std::string &key, const std::string &defaultValue)
{
    if (!usable(application))
        return defaultValue;
    QSettings settings(toQt(application), toQt(application));
    const QVariant value = settings.value(keyPath(section, key));
    if (!value.isValid())
        return defaultValue;
    // A value edited by hand with an unquoted comma reads back as a list; it was one folder.
    if (value.typeId() == QMetaType::QStringList)
        return fromQt(value.toStringList().join(QStringLiteral(", ")));
    return fromQt(value.toString());
}

void QtSettingsStore::saveSetting(const std::string &application, const std::string &section,
                                  const std::string &key, const std::string &value)
{
    if (!usable(application))
        return;
    QSettings settings(toQt(application), toQt(application));
    settings.setValue(keyPath(section, key), toQt(value));
    settings.sync();
}

} // namespace dovrante
