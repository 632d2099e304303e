// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/TagColors.h"

#include <QGuiApplication>
#include <QPalette>

namespace TagColors {

const QList<Entry> &all()
{
    static const QList<Entry> entries = {
        {1, QStringLiteral("Gray"), QColor(0x8e, 0x8e, 0x93)},
        {2, QStringLiteral("Green"), QColor(0x34, 0xc7, 0x59)},
        {3, QStringLiteral("Purple"), QColor(0xaf, 0x52, 0xde)},
        {4, QStringLiteral("Blue"), QColor(0x00, 0x7a, 0xff)},
        {5, QStringLiteral("Yellow"), QColor(0xff, 0xcc, 0x00)},
        {6, QStringLiteral("Red"), QColor(0xff, 0x3b, 0x30)},
        {7, QStringLiteral("Orange"), QColor(0xff, 0x95, 0x00)},
    };
    return entries;
}

bool hasColor(qint64 index) { return index >= 1 && index <= 7; }

QString name(qint64 index) { return hasColor(index) ? all().at(int(index - 1)).name : QString(); }

QColor color(qint64 index) { return hasColor(index) ? all().at(int(index - 1)).color : neutral(); }

QColor neutral()
{
    // Only a GUI application has a palette; the command line and the tests have none.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        return QGuiApplication::palette().color(QPalette::PlaceholderText);
    }
    return QColor(0x80, 0x80, 0x80);
}

} // namespace TagColors
