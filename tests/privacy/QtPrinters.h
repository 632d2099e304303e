// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Readable failure messages for Qt values.

#include <QRectF>
#include <QString>

#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QRectF &r, std::ostream *os)
{
    *os << '[' << r.x() << ',' << r.y() << ',' << r.width() << ',' << r.height() << ']';
}
