// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "privacy/TextMatch.h"

#include <QStringList>
#include <QStringView>

// Phone numbers through libphonenumber's matcher at leniency VALID. National formats depend
// on the region, so the line is tried with each region in turn: the user's own, those of
// their other languages, then US, GB, DE and FR. Numbers that a label marks as something
// else ("Order ID: 4155550199") and numbers glued to a currency sign, percent sign or clock
// are left alone.
class PhoneDetector
{
public:
    explicit PhoneDetector(QStringList regions);

    // Regions from the system locale and the user's preferred languages.
    static const PhoneDetector &forUserLocale();
    static QStringList regionsForUser();

    TextMatches find(QStringView line) const;
    const QStringList &regions() const { return m_regions; }

private:
    QStringList m_regions;
};
