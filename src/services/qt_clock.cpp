#include "services/qt_clock.h"

#include "qt/qt_strings.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

namespace dovrante {

DateTime QtClock::now()
{
    const QDateTime current = QDateTime::currentDateTime();
    const QDate d = current.date();
    const QTime t = current.time();
    return DateTime{d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

std::string QtClock::regionalDateTime(const DateTime &moment)
{
    const QLocale locale = QLocale::system();
    const QString date =
        locale.toString(QDate(moment.year, moment.month, moment.day), QLocale::ShortFormat);
    const QTime time(moment.hour, moment.minute, moment.second);
    if (time == QTime(0, 0, 0))
        return fromQt(date);
    // The long time form without its time zone.
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*$")));
    format.remove(QRegularExpression(QStringLiteral("^\\s*t+\\s*")));
    return fromQt(date + QLatin1Char(' ') + locale.toString(time, format.trimmed()));
}

} // namespace dovrante
