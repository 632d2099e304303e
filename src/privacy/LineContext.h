// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "privacy/RecognizedLine.h"

#include <QList>
#include <QString>

// What the layout of a screen says around one recognised line. Sparse reading returns every
// cell of a table or form on its own, so the word that tells a version from an address or an
// order number from a phone ("Version", "Order #", "tcp4", "Phone") often sits in another
// line: beside it on the same row, or at the head of its column.
struct LineContext
{
    QString before; // the cells to its left on the same row, far to near, two spaces apart
    QString after;  // the cells to its right, near to far, two spaces apart
    QString header; // its column's heading: the first line without digits up the column
};

namespace LineContexts {

// One context per line, in the order of the lines.
QList<LineContext> of(const QList<RecognizedLine> &lines);

// The lines cut where the gap between two words is over one and a half mean character widths:
// the recogniser reads neighbouring table cells of large type as one line ("198.51.100.20
// 10.2.0.7 1.18.240.3"), and each cell has its own column heading.
QList<RecognizedLine> cellsOf(const QList<RecognizedLine> &lines);

} // namespace LineContexts
