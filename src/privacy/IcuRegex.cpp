// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/IcuRegex.h"

#include <QtGlobal>

#include <unicode/regex.h>
#include <unicode/unistr.h>

IcuRegex::IcuRegex(const char16_t *pattern)
{
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError{};
    m_pattern.reset(icu::RegexPattern::compile(icu::UnicodeString(pattern), 0, parseError, status));
    if (U_FAILURE(status) || !m_pattern) {
        qFatal("Pictrove: pattern does not compile at offset %d: %s", parseError.offset, u_errorName(status));
    }
}

IcuRegex::IcuRegex(const QString &pattern) : IcuRegex(reinterpret_cast<const char16_t *>(pattern.utf16())) {}

IcuRegex::~IcuRegex() = default;

QString IcuRegex::anyOf(std::span<const char *const> words)
{
    QString out = QStringLiteral("(?:");
    for (const char *w : words) {
        if (out.size() > 3) {
            out += QLatin1Char('|');
        }
        out += QStringLiteral("\\Q") + QString::fromUtf8(w) + QStringLiteral("\\E");
    }
    return out + QLatin1Char(')');
}

namespace {

// In ICU's steps of roughly a millisecond each.
constexpr int32_t kTimeLimit = 200;

// Reads the caller's UTF-16 in place: no copy of the line per search.
icu::UnicodeString alias(QStringView text)
{
    return icu::UnicodeString(false, text.utf16(), int32_t(text.size()));
}

} // namespace

QList<IcuRegex::Span> IcuRegex::findAll(QStringView text, int from, int to) const
{
    QList<Span> spans;
    const icu::UnicodeString input = alias(text);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> matcher(m_pattern->matcher(input, status));
    if (U_FAILURE(status)) {
        return spans;
    }
    if (to < 0) {
        to = int(text.size());
    }
    matcher->region(from, to, status);
    matcher->useTransparentBounds(true);
    matcher->useAnchoringBounds(false);
    // Recognised text can be long and odd; a pathological line must not stall a scan.
    matcher->setTimeLimit(kTimeLimit, status);
    while (U_SUCCESS(status) && matcher->find(status) && U_SUCCESS(status)) {
        const int32_t s = matcher->start(status);
        const int32_t e = matcher->end(status);
        if (U_FAILURE(status)) {
            break;
        }
        spans.append({s, e - s});
        if (e == s) {
            // An empty match cannot occur in our patterns, but never loop forever on one.
            break;
        }
    }
    return spans;
}

bool IcuRegex::matchesExactly(QStringView text, int start, int length) const
{
    const icu::UnicodeString input = alias(text);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> matcher(m_pattern->matcher(input, status));
    if (U_FAILURE(status)) {
        return false;
    }
    matcher->region(start, start + length, status);
    matcher->useTransparentBounds(true);
    matcher->setTimeLimit(kTimeLimit, status);
    const bool ok = matcher->matches(status);
    return U_SUCCESS(status) && ok;
}
