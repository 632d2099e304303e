// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/ScreenshotIndexEntry.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The library's search and filters, shared by the gallery and the search command.
namespace LibrarySearch {

struct Filter
{
    QString query;              // matched lower-cased, not trimmed; empty matches everything
    std::optional<QString> app; // exact application name
    std::optional<QString> tag; // exact tag name
};

// Whether the lower-cased query is a substring of the lower-cased file name (last path
// component), application, any tag or recognised text.
bool matchesQuery(const QString &path, const QString &appName, const QStringList &tags, const QString &ocrText,
                  const QString &loweredQuery);

// The searched fields lower-cased, as UTF-8, each followed by a NUL so that no match spans
// two fields: a substring search of the lowered query in this key gives the same answer as
// matchesQuery, at memory speed. For lists that are searched at every keystroke.
QByteArray searchKey(const QString &path, const QString &appName, const QStringList &tags, const QString &ocrText);
// The lowered query as keyMatches takes it. A query holding a NUL, which no field of a key
// holds, matches nothing.
QByteArray searchNeedle(const QString &query);
bool keyMatches(const QByteArray &key, const QByteArray &needle);

bool matches(const ScreenshotIndexEntry &entry, const Filter &filter, const QString &loweredQuery);

// The matching entries, newest first.
QList<ScreenshotIndexEntry> search(const QHash<QString, ScreenshotIndexEntry> &entries, const Filter &filter);

} // namespace LibrarySearch
