// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>

// Case-insensitive matching of tag names the way the user's language compares letters:
// full Unicode case folding (so "STRASSE" finds "Straße"), with the dotted and dotless i
// kept apart for Turkish and Azerbaijani.
namespace TagSearch {

// The text in its folded form, for comparing with other folded text.
QString fold(const QString &text, const QLocale &locale = QLocale());

// Whether `name` contains `needle`, compared case-insensitively. An empty needle matches.
bool contains(const QString &name, const QString &needle, const QLocale &locale = QLocale());

// Whether the two texts are the same but for letter case.
bool equalIgnoringCase(const QString &a, const QString &b, const QLocale &locale = QLocale());

} // namespace TagSearch
