// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/AddressDetector.h"

#include "privacy/IcuRegex.h"

#include <algorithm>

namespace AddressDetector {

namespace {

// Text recognition often misreads "ß" ("straBe", "straf&e"): any one or two letters or signs
// between "stra" and "e" are accepted; the house number and postcode keep this specific.
// A capitalised word of a name, letters with accents, apostrophes and inner hyphens.
#define NAME u"\\p{Lu}[\\p{L}'’]*(?:-\\p{L}[\\p{L}'’]*)*"

const IcuRegex &unitedStates()
{
    static const IcuRegex p(
        u"\\b\\d{1,6}[A-Z]?\\s+(?:[NSEW]\\.?\\s+)?(?:(?:" NAME u"|\\d{1,3}(?:st|nd|rd|th))\\s+){1,4}"
        u"(?:Street|St|Avenue|Ave|Road|Rd|Boulevard|Blvd|Lane|Ln|Drive|Dr|Court|Ct|Way|Place|Pl|Terrace|Ter"
        u"|Parkway|Pkwy|Circle|Cir|Highway|Hwy|Square|Sq|Trail|Trl|Plaza|Loop|Alley|Row)\\.?"
        u"(?:\\s+(?:NW|NE|SW|SE|N|S|E|W)\\b)?"
        u"(?:,?\\s+(?:Apt|Suite|Ste|Unit|Fl|Floor|#)\\.?\\s*#?[A-Za-z0-9\\-]+)?"
        u",\\s+(?:" NAME u"\\s+){0,3}" NAME u",?\\s+[A-Z]{2}\\s+\\d{5}(?:-\\d{4})?\\b");
    return p;
}

const IcuRegex &unitedKingdom()
{
    static const IcuRegex p(
        u"\\b\\d{1,4}[A-Za-z]?,?\\s+(?:" NAME u"\\s+){1,3}"
        u"(?:Street|St|Road|Rd|Lane|Avenue|Close|Drive|Way|Place|Square|Gardens|Crescent|Terrace|Hill|Row|Mews"
        u"|Court|Grove|Walk|Park|Rise|Parade|Green|View|Yard|Wharf)\\.?"
        u"(?:,\\s+(?:" NAME u"\\s+){0,2}" NAME u")*,?\\s+"
        u"(?:[A-Z]{1,2}\\d[A-Z\\d]?\\s?\\d[ABD-HJLNP-UW-Z]{2}|GIR\\s?0AA)\\b");
    return p;
}

const IcuRegex &germany()
{
    static const IcuRegex p(
        u"(?:\\b(?:" NAME u"\\s+){0,2}(?:" NAME u"(?:straße|strasse|stra[^\\s\\d]{1,2}e|str\\.|weg|platz|allee|gasse|ring|damm|ufer|steig|pfad|chaussee)"
        u"|(?:" NAME u"\\s+)(?:Straße|Strasse|Str\\.|Weg|Platz|Allee|Gasse|Ring|Damm|Ufer|Chaussee)))"
        u"\\s+\\d{1,4}\\s?[a-z]?(?:\\s?[-/]\\s?\\d{1,4}[a-z]?)?,\\s+(?:D-)?\\d{5}\\s+" NAME u"(?:\\s+(?:am|an\\sder|im)\\s+" NAME u")?");
    return p;
}

const IcuRegex &france()
{
    static const IcuRegex p(
        u"\\b\\d{1,4}(?:\\s?(?:bis|ter|[A-C]))?,?\\s+(?i:rue|avenue|av\\.|boulevard|bd|place|allée|allee|impasse|chemin"
        u"|quai|cours|route|passage|square|voie|faubourg|rond-point)\\s+"
        u"(?:(?i:de\\sla|de\\sl['’]|du|des|de|d['’]|la|le|les)\\s*)?(?:[\\p{L}'’\\-]+\\s+){0,4}?[\\p{L}'’\\-]+,?\\s+"
        u"\\d{5}\\s+" NAME u"(?:[\\s\\-]" NAME u")*(?:\\s+(?:Cedex|CEDEX)(?:\\s+\\d{1,2})?)?");
    return p;
}

#undef NAME

} // namespace

TextMatches find(QStringView line)
{
    TextMatches out;
    for (const IcuRegex *pattern : {&unitedStates(), &unitedKingdom(), &germany(), &france()}) {
        for (const IcuRegex::Span &s : pattern->findAll(line)) {
            const TextMatch m{s.start, s.length, PIIType::addresses};
            const bool seen = std::any_of(out.cbegin(), out.cend(), [&m](const TextMatch &o) { return o.overlaps(m); });
            if (!seen) {
                out.append(m);
            }
        }
    }
    std::sort(out.begin(), out.end(), [](const TextMatch &a, const TextMatch &b) { return a.start < b.start; });
    return out;
}

} // namespace AddressDetector
