// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QList>
#include <QString>

// The tag colour numbers, their names and the colours they are drawn in. Every view that
// shows a tag colour takes it from here.
namespace TagColors {

struct Entry
{
    qint64 index;
    QString name;
    QColor color;
};

// Colour numbers 1 to 7 in ascending order: gray, green, purple, blue, yellow, red, orange.
const QList<Entry> &all();

// Whether the number names a colour; 0 and anything outside 1..7 means no colour.
bool hasColor(qint64 index);

// The colour's name ("Gray", "Green", ...), or an empty string for no colour.
QString name(qint64 index);

// The colour a tag with this number is drawn in. No colour gives the neutral colour.
QColor color(qint64 index);

// The secondary text colour of the running GUI application's palette, or a mid gray
// when there is no GUI application.
QColor neutral();

} // namespace TagColors
