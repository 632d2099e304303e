// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/RecognizedLine.h"

#include <algorithm>

namespace {

bool holdsLetterOrDigit(const QString &text, int from, int to)
{
    for (int i = from; i < to; ++i) {
        if (text[i].isLetterOrNumber()) {
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<QRectF> RecognizedLine::symbolBox(int start, int length) const
{
    if (start < 0 || length <= 0 || start + length > text.size()) {
        return std::nullopt;
    }
    std::optional<QRectF> box;
    for (const Symbol &s : symbols) {
        if (s.start < start + length && start < s.start + s.length) {
            box = box ? box->united(s.box) : s.box;
        }
    }
    return box;
}

std::optional<QRectF> RecognizedLine::boundingBox(int start, int length) const
{
    if (start < 0 || length <= 0 || start + length > text.size()) {
        return std::nullopt;
    }
    const int end = start + length;
    qsizetype first = -1;
    qsizetype last = -1;
    QRectF box;
    for (qsizetype k = 0; k < symbols.size(); ++k) {
        const Symbol &s = symbols[k];
        if (s.start < end && start < s.start + s.length) {
            box = first < 0 ? s.box : box.united(s.box);
            if (!s.wordBox.isNull()) {
                box.setTop(std::min(box.top(), s.wordBox.top()));
                box.setBottom(std::max(box.bottom(), s.wordBox.bottom()));
            }
            first = first < 0 ? k : first;
            last = k;
        }
    }
    if (first < 0) {
        return std::nullopt;
    }
    // The recogniser places each character by where it was read along the line, and those
    // places drift: the last characters of a word come out shifted left, a full stop after
    // them taking their place. The word's own outline is exact, so a match that holds the
    // word's letters and digits up to an edge reaches that edge of the word; punctuation
    // around it (a full stop, brackets) is covered too.
    const Symbol &head = symbols[first];
    if (head.word >= 0) {
        qsizetype k = first;
        while (k > 0 && symbols[k - 1].word == head.word) {
            --k;
        }
        if (!holdsLetterOrDigit(text, symbols[k].start, start)) {
            box.setLeft(std::min(box.left(), head.wordBox.left()));
        }
    }
    const Symbol &tail = symbols[last];
    if (tail.word >= 0) {
        qsizetype k = last;
        while (k + 1 < symbols.size() && symbols[k + 1].word == tail.word) {
            ++k;
        }
        if (!holdsLetterOrDigit(text, end, symbols[k].start + symbols[k].length)) {
            box.setRight(std::max(box.right(), tail.wordBox.right()));
        }
    }
    return box;
}
