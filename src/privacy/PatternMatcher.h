// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PIITypes.h"
#include "privacy/TextMatch.h"

#include <QStringView>

class PhoneDetector;
struct LineContext;

// The sensitive stretches of one recognised line, appended kind by kind: e-mail addresses,
// IP addresses, API keys, card numbers, then phone numbers and street addresses together in
// order of position, then the further secret shapes. Overlapping matches of different kinds
// are all kept: each becomes its own rectangle.
namespace PatternMatcher {

TextMatches findSensitiveRanges(QStringView line, PIITypes types);
TextMatches findSensitiveRanges(QStringView line, PIITypes types, const PhoneDetector &phones);
// With the cells beside the line and its column heading, which decide versions, ports and
// labelled numbers.
TextMatches findSensitiveRanges(QStringView line, PIITypes types, const PhoneDetector &phones, const LineContext &context);

// For a line read by text recognition: findSensitiveRanges over the line as read, then over
// the line with the spaces the recogniser tends to insert beside punctuation removed
// ("sk_ live _4eC...", "2001: db8::1", "example. com"), ranges mapped back onto the line as read.
TextMatches findInRecognizedLine(QStringView line, PIITypes types);
TextMatches findInRecognizedLine(QStringView line, PIITypes types, const LineContext &context);
// The line without those spaces, and for each of its code units the index in the line.
QString withoutInsertedSpaces(QStringView line, QList<int> *origin);

TextMatches findEmails(QStringView line);
// Whether the text ends in a file name extension ("icon@2x.png"), which no top-level domain is.
bool endsInFileExtension(QStringView text);

// Kind names as the command line and JSON output spell them ("creditCards").
const char *kindName(PIIType::Type kind);
// Parses "emails,ips,..." into a set; false on an unknown name.
bool parseKinds(QStringView list, PIITypes *types);

} // namespace PatternMatcher
