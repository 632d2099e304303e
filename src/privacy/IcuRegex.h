// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QStringView>

#include <QString>

#include <memory>
#include <span>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class RegexPattern;
U_NAMESPACE_END

// A regular expression with ICU semantics, compiled once and then shared read-only by all
// threads: each search makes its own matcher, so concurrent searches never meet.
class IcuRegex
{
public:
    struct Span
    {
        int start = 0;
        int length = 0;
        int end() const { return start + length; }
    };

    // A pattern that does not compile is a programming error and aborts.
    explicit IcuRegex(const char16_t *pattern);
    explicit IcuRegex(const QString &pattern);
    // "(?:w1|w2|...)" matching any of the words literally: patterns built from a table of words.
    static QString anyOf(std::span<const char *const> words);
    ~IcuRegex();
    IcuRegex(const IcuRegex &) = delete;
    IcuRegex &operator=(const IcuRegex &) = delete;

    // Every match in [from, to) of text, in order, offsets in UTF-16 code units. The rest of
    // the text stays visible to look-arounds and \b.
    QList<Span> findAll(QStringView text, int from = 0, int to = -1) const;
    // Whether the whole of text[start, start + length) matches, with the text around it
    // visible to look-arounds.
    bool matchesExactly(QStringView text, int start, int length) const;

private:
    std::unique_ptr<icu::RegexPattern> m_pattern;
};
