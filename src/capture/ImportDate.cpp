// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/ImportDate.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace ImportDate {

std::optional<QDateTime> fromName(const QString &fileName)
{
    // Date (with or without "-"), blanks, underscores or "T", an optional "at", then the
    // time as in the screenshot name pattern, optional fractions and an optional AM/PM.
    static const QRegularExpression pattern(
        QStringLiteral("(?<!\\d)(\\d{4})(-?)(\\d{2})\\2(\\d{2})(?:[\\s_T]+|-)(?:at\\s+)?(\\d{1,2})([.\\-_:]?)(\\d{2})\\6(\\d{2})"
                       "(?!\\d)(?:[.,]\\d+)?(?:\\s*([AP])\\.?M\\.?(?![a-z]))?"),
        QRegularExpression::CaseInsensitiveOption);
    QRegularExpressionMatchIterator it = pattern.globalMatch(fileName);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const QDate date(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
        int hour = m.captured(5).toInt();
        const QString meridiem = m.captured(9).toUpper();
        if (!meridiem.isEmpty()) {
            if (hour < 1 || hour > 12) {
                continue;
            }
            hour = hour % 12 + (meridiem == QLatin1String("P") ? 12 : 0);
        }
        const QTime time(hour, m.captured(7).toInt(), m.captured(8).toInt());
        if (date.isValid() && time.isValid()) {
            return QDateTime(date, time);
        }
    }
    return std::nullopt;
}

QDateTime forFile(const QString &path)
{
    const QFileInfo info(path);
    if (const auto named = fromName(info.fileName())) {
        return *named;
    }
    return info.lastModified();
}

} // namespace ImportDate
