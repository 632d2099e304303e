// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "privacy/RecognizedLine.h"
#include "privacy/TextMatch.h"

#include <QStringList>
#include <QStringView>

// Phone numbers through libphonenumber's matcher at leniency VALID. National formats depend
// on the region, so the line is tried with each region in turn: the user's own, those of
// their other languages, then US, GB, DE and FR. Numbers that a label marks as something
// else ("Order ID: 4155550199") and numbers glued to a currency sign, percent sign or clock
// are left alone, as are numbers in a column headed by such a label. A number of a possible
// length in an unassigned range counts after a phone word, under a "Phone" heading or with a
// leading "+".
struct LineContext;

class PhoneDetector
{
public:
    explicit PhoneDetector(QStringList regions);

    // Regions from the system locale and the user's preferred languages.
    static const PhoneDetector &forUserLocale();
    static QStringList regionsForUser();

    TextMatches find(QStringView line) const;
    // With the cells beside the line and its column heading taken into account.
    TextMatches find(QStringView line, const LineContext &context) const;
    const QStringList &regions() const { return m_regions; }

    struct LineMatch
    {
        int line = 0; // index into the lines
        TextMatch match;
    };
    // Numbers wrapped onto the next line, as narrow message bubbles and signatures wrap them
    // ("Call me at +44 20 7946" over "0958"): the end of a line and the start of the line
    // right under it, at its left edge, read as one. Both parts come back, first line first.
    QList<LineMatch> findWrapped(const QList<RecognizedLine> &lines, const QList<LineContext> &contexts) const;

private:
    QStringList m_regions;
};
