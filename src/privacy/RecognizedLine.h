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
        int word = -1;  // which word of the line the symbol belongs to
        QRectF wordBox; // that whole word's outline
    };

    QString text;
    QList<Symbol> symbols;
    QRectF box; // the whole line

    // The union of the boxes of the symbols that [start, start + length) touches, reaching
    // the outline of a word the range holds up to its edge (punctuation aside); none when
    // the range holds no boxed symbol.
    std::optional<QRectF> boundingBox(int start, int length) const;
    // The union of the symbol boxes alone, where the recogniser placed the characters.
    std::optional<QRectF> symbolBox(int start, int length) const;
};
