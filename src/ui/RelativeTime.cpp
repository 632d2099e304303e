// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/RelativeTime.h"

#include <QLocale>

#include <unicode/locid.h>
#include <unicode/reldatefmt.h>
#include <unicode/unistr.h>

#include <cmath>
#include <memory>

namespace RelativeTime {

QString format(const QDateTime &moment, const QDateTime &now, const QString &locale)
{
    QString name = locale.isEmpty() ? QLocale().name() : locale;
    if (name == QLatin1String("C") || name == QLatin1String("POSIX")) {
        name = QStringLiteral("en_US"); // ICU's root locale would say "1 minutes ago"
    }
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale icuLocale(name.toUtf8().constData());
    icu::RelativeDateTimeFormatter formatter(icuLocale, status);
    if (U_FAILURE(status)) {
        return QLocale().toString(moment, QLocale::ShortFormat);
    }
    const qint64 seconds = moment.secsTo(now);
    const UDateDirection direction = seconds >= 0 ? UDAT_DIRECTION_LAST : UDAT_DIRECTION_NEXT;
    const qint64 span = std::llabs(seconds);
    icu::UnicodeString out;
    if (span < 10) {
        formatter.format(UDAT_DIRECTION_PLAIN, UDAT_ABSOLUTE_NOW, out, status);
    } else if (span < 60) {
        formatter.format(double(span), direction, UDAT_RELATIVE_SECONDS, out, status);
    } else if (span < 3600) {
        formatter.format(double(span / 60), direction, UDAT_RELATIVE_MINUTES, out, status);
    } else if (span < 86400) {
        formatter.format(double(span / 3600), direction, UDAT_RELATIVE_HOURS, out, status);
    } else {
        formatter.format(double(span / 86400), direction, UDAT_RELATIVE_DAYS, out, status);
    }
    if (U_FAILURE(status)) {
        return QLocale().toString(moment, QLocale::ShortFormat);
    }
    return QString(reinterpret_cast<const QChar *>(out.getBuffer()), out.length());
}

} // namespace RelativeTime
