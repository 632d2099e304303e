// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PIITypes.h"

#include <QList>

// One sensitive stretch of a text line: start and length in UTF-16 code units.
struct TextMatch
{
    int start = 0;
    int length = 0;
    PIIType::Type kind = PIIType::emails;

    int end() const { return start + length; }
    bool overlaps(const TextMatch &o) const { return start < o.end() && o.start < end(); }
    bool operator==(const TextMatch &o) const = default;
};

using TextMatches = QList<TextMatch>;
