// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "privacy/RecognizedLine.h"
#include "privacy/TextMatch.h"

#include <QList>
#include <QRectF>
#include <QStringList>
#include <QStringView>

// Street addresses, built from two tables: street forms and locality forms (town with its
// postcode), each street form accepting the localities of its countries.
//   streets     "1600 Pennsylvania Avenue NW", "77 W 5th Ave FLR 2", "500 Oak Promenade, Ste. 210",
//               "123 Avenue B", "PO Box 4410", "12 rue de la Paix", "Calle de Alcalá 48",
//               "Musterstraße 12", "Mariahilfer Straße 45", "Hauptplatz 1"
//   localities  US "Washington, DC 20500", Canada "Montréal, QC H3B 1K9", UK "London SW1A 2AA",
//               five digits "10115 Berlin", "75002 Paris", four digits "1060 Wien", "8001 Zürich",
//               each optionally followed by a country
// On one line a street and its locality are found together ("10 Downing Street, London SW1A
// 2AA"). Across recognised lines, a column of lines (left edges aligned, small gaps, similar
// heights) is read as street line, locality line, with an optional building line above
// ("Riverside House"), unit line between and country line below; a locality may be a row of
// form fields side by side ("Portland" "OR" "97201"), and form labels between the rows
// ("City State ZIP") are passed over. Only there is a German street without a street word
// ("Unter den Linden 77") accepted, followed by a postcode line.
// Limits: an address must carry its postcode (a street alone is too ambiguous); town names are
// taken as capitalised words, so a lower-case town is not.
namespace AddressDetector {

TextMatches find(QStringView line);

struct Block
{
    QStringList lines; // the text of each line of the address; a row of fields joined by spaces
    QRectF box;        // the union of their boxes, unpadded
};

// Addresses written over several of the given lines, in the order of their first line.
QList<Block> findAcrossLines(const QList<RecognizedLine> &lines);

} // namespace AddressDetector
