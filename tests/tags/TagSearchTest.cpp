// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/TagSearch.h"

#include <gtest/gtest.h>

namespace {

TEST(TagSearch, MatchesIgnoringLetterCaseByTheLanguage)
{
    struct Case
    {
        const char *name;
        const char *needle;
        QLocale::Language language;
        bool contains;
    };
    const Case cases[] = {
        {"Work", "work", QLocale::English, true},
        {"Invoices", "VOIC", QLocale::English, true},
        {"Straße", "STRASSE", QLocale::German, true},   // full folding, not lower-casing
        {"Ärzte", "a\u0308rz", QLocale::German, true},  // combining accent typed
        {"ΣΟΦΙΑ", "σοφια", QLocale::Greek, true},       // final and medial sigma
        {"DIŞ", "dış", QLocale::Turkish, true},         // dotless i
        {"İzmir", "izmir", QLocale::Turkish, true},
        {"Izmir", "izmir", QLocale::Turkish, false},    // I folds to ı in Turkish
        {"Izmir", "izmir", QLocale::English, true},
        {"Work", "", QLocale::English, true},
        {"Work", "x", QLocale::English, false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(TagSearch::contains(QString::fromUtf8(c.name), QString::fromUtf8(c.needle), QLocale(c.language)), c.contains)
            << c.name << " / " << c.needle;
    }
    EXPECT_TRUE(TagSearch::equalIgnoringCase("Work", "wORK"));
    EXPECT_FALSE(TagSearch::equalIgnoringCase("Work", "Works"));
}

} // namespace
