// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>

// "5 minutes ago" in the user's language, from ICU's relative date-time formatter.
namespace RelativeTime {

// locale: an ICU/POSIX locale name such as "de_DE"; empty for the user's.
QString format(const QDateTime &moment, const QDateTime &now, const QString &locale = QString());

} // namespace RelativeTime
