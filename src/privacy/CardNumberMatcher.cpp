// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/CardNumberMatcher.h"

#include "privacy/IcuRegex.h"

#include <QChar>
#include <QString>

#include <string>

namespace CardNumberMatcher {

namespace {

const IcuRegex &candidatePattern()
{
    static const IcuRegex pattern(uR"(\b(?:\d[ \-]?){12,18}\d\b)");
    return pattern;
}

// ASCII digits of the text, in order; other decimal digits count for Luhn but never start a
// known issuer's range, so the prefix test reads ASCII only.
std::string asciiDigits(QStringView text)
{
    std::string digits;
    for (QChar c : text) {
        if (c >= u'0' && c <= u'9') {
            digits.push_back(char(c.unicode()));
        }
    }
    return digits;
}

bool prefixIn(const std::string &d, int digits, int low, int high)
{
    if (int(d.size()) < digits) {
        return false;
    }
    const int value = std::stoi(d.substr(0, size_t(digits)));
    return value >= low && value <= high;
}

bool isSeparator(QChar c) { return c == u' ' || c == u'-'; }

} // namespace

bool passesLuhnCheck(QStringView text)
{
    int values[32];
    int count = 0;
    for (QChar c : text) {
        const int v = c.digitValue();
        if (v < 0) {
            continue;
        }
        if (count == 32) {
            return false;
        }
        values[count++] = v;
    }
    if (count < 13 || count > 19) {
        return false;
    }
    int sum = 0;
    for (int i = count - 1, pos = 0; i >= 0; --i, ++pos) {
        int v = values[i];
        if (pos % 2 == 1) {
            v *= 2;
            if (v > 9) {
                v -= 9;
            }
        }
        sum += v;
    }
    return sum % 10 == 0;
}

bool hasIssuerPrefixAndLength(QStringView text)
{
    const std::string d = asciiDigits(text);
    const int n = int(d.size());
    const bool len16to19 = n >= 16 && n <= 19;
    struct Range
    {
        int digits, low, high;
        bool lengthOk;
    };
    const Range ranges[] = {
        {1, 4, 4, n == 13 || n == 16 || n == 19},              // Visa
        {2, 51, 55, n == 16},                                    // Mastercard
        {4, 2221, 2720, n == 16},                                // Mastercard 2-series
        {2, 34, 34, n == 15},                                    // American Express
        {2, 37, 37, n == 15},
        {4, 6011, 6011, len16to19},                              // Discover
        {3, 644, 649, len16to19},
        {2, 65, 65, len16to19},
        {3, 300, 305, n >= 14 && n <= 19},                       // Diners Club
        {3, 309, 309, n >= 14 && n <= 19},
        {2, 36, 36, n >= 14 && n <= 19},
        {2, 38, 39, n >= 14 && n <= 19},
        {4, 3528, 3589, len16to19},                              // JCB
        {2, 62, 62, len16to19},                                  // UnionPay (and Discover's 622126-622925)
        {2, 81, 81, len16to19},
        {4, 2200, 2204, len16to19},                              // Mir
        {4, 5018, 5018, n >= 12 && n <= 19},                     // Maestro
        {4, 5020, 5020, n >= 12 && n <= 19},
        {4, 5038, 5038, n >= 12 && n <= 19},
        {4, 5893, 5893, n >= 12 && n <= 19},
        {4, 6304, 6304, n >= 12 && n <= 19},
        {4, 6759, 6759, n >= 12 && n <= 19},
        {4, 6761, 6763, n >= 12 && n <= 19},
        {2, 67, 67, n >= 12 && n <= 19},
        {1, 1, 1, n == 15},                                      // UATP
    };
    for (const Range &r : ranges) {
        if (r.lengthOk && prefixIn(d, r.digits, r.low, r.high)) {
            return true;
        }
    }
    return false;
}

namespace {

bool isCard(QStringView text) { return passesLuhnCheck(text) && hasIssuerPrefixAndLength(text); }

// A greedy candidate can swallow digits before or after the card ("Ref 12 4242 4242 4242
// 4242"): try every run of whole digit groups inside it, earliest start and longest first.
void findInsideFailedCandidate(QStringView line, IcuRegex::Span candidate, TextMatches &out)
{
    QList<int> groupStarts{candidate.start};
    QList<int> groupEnds;
    for (int i = candidate.start; i < candidate.end(); ++i) {
        if (isSeparator(line[i])) {
            groupEnds.append(i);
            groupStarts.append(i + 1);
        }
    }
    groupEnds.append(candidate.end());
    int resumeAt = candidate.start;
    for (int s = 0; s < groupStarts.size(); ++s) {
        if (groupStarts[s] < resumeAt) {
            continue;
        }
        for (int e = groupEnds.size() - 1; e >= s; --e) {
            const int start = groupStarts[s];
            const int length = groupEnds[e] - start;
            if (length <= 0) {
                continue;
            }
            const QStringView piece = line.mid(start, length);
            if (candidatePattern().matchesExactly(line, start, length) && isCard(piece)) {
                out.append({start, length, PIIType::creditCards});
                resumeAt = start + length;
                break;
            }
        }
    }
}

} // namespace

TextMatches find(QStringView line)
{
    TextMatches out;
    for (const IcuRegex::Span &c : candidatePattern().findAll(line)) {
        const QStringView text = line.mid(c.start, c.length);
        if (isCard(text)) {
            out.append({c.start, c.length, PIIType::creditCards});
        } else {
            findInsideFailedCandidate(line, c, out);
        }
    }
    return out;
}

} // namespace CardNumberMatcher
