#include "platform/qt/qt_settings_store.h"

#include "qt/qt_strings.h"

#include <QSettings>

namespace dovrante {

namespace {

QString keyPath(const std::string &section, const std::string &key)
{
    return toQt(section) + QLatin1Char('/') + toQt(key);
}

} // namespace

std::string QtSettingsStore::setting(const std::string &application, const std::string &section,
                                     const std::string &key, const std::string &defaultValue)
{
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
    QSettings settings(toQt(application), toQt(application));
    settings.setValue(keyPath(section, key), toQt(value));
    settings.sync();
}

} // namespace dovrante
