// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/RecognizedLine.h"

std::optional<QRectF> RecognizedLine::boundingBox(int start, int length) const
{
    if (start < 0 || length <= 0 || start + length > text.size()) {
        return std::nullopt;
    }
    const int end = start + length;
    std::optional<QRectF> box;
    for (const Symbol &s : symbols) {
        if (s.start < end && start < s.start + s.length) {
            box = box ? box->united(s.box) : s.box;
        }
    }
    return box;
}
