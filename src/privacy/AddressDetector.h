// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "privacy/TextMatch.h"

#include <QStringView>

// Street addresses written on one line, in four national shapes:
//   US  "1600 Pennsylvania Avenue NW, Washington, DC 20500"  number, street with a street
//       word (Street, Ave, Rd, ...), optional unit, city, state code, ZIP or ZIP+4
//   UK  "10 Downing Street, London SW1A 2AA"                 number, street with a street
//       word, optional locality and town, postcode
//   DE  "Musterstraße 12, 10115 Berlin"                      street ending in -straße, -weg,
//       -platz, ... or "Straße"/"Allee" as a word, house number, five-digit postcode, town
//   FR  "12 rue de la Paix, 75002 Paris"                     number (bis/ter), street word
//       (rue, avenue, boulevard, ...), name, five-digit postcode, town
// Limits: an address must carry its postcode (a street alone is too ambiguous); addresses
// split over several lines, PO boxes, and other countries' shapes are not found; town names
// are taken as capitalised words, so a lower-case town is not.
namespace AddressDetector {

TextMatches find(QStringView line);

} // namespace AddressDetector
