// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "privacy/TextMatch.h"

#include <QStringView>

// Payment card numbers: the candidate pattern, the Luhn check, and the issuers' number
// ranges, so that timestamps, IMEIs and SIM serials that happen to pass Luhn stay unboxed.
namespace CardNumberMatcher {

// Digits with a whole-number value are summed, everything else is ignored; 13 to 19 digits.
bool passesLuhnCheck(QStringView text);

// Whether the digits (separators ignored) start with a known card issuer's prefix and have
// a length that issuer uses.
bool hasIssuerPrefixAndLength(QStringView text);

// Card numbers in the line, in order of position.
TextMatches find(QStringView line);

} // namespace CardNumberMatcher
