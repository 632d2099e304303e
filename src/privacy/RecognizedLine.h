// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QRectF>
#include <QString>

#include <optional>

// One line of recognised text with the pixel box of each symbol, in the scanned bitmap's
// pixels (origin top-left). Word gaps are single spaces without a box.
struct RecognizedLine
{
    struct Symbol
    {
        int start = 0;  // UTF-16 offset in text
        int length = 0; // UTF-16 units of the symbol (two for a character outside the BMP)
        QRectF box;
    };

    QString text;
    QList<Symbol> symbols;
    QRectF box; // the whole line

    // The union of the boxes of the symbols that [start, start + length) touches; none when
    // the range holds no boxed symbol.
    std::optional<QRectF> boundingBox(int start, int length) const;
};
