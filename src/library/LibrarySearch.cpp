// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/LibrarySearch.h"

#include <algorithm>

namespace LibrarySearch {

namespace {

bool containsLowered(QStringView text, const QString &loweredQuery)
{
    return text.toString().toLower().contains(loweredQuery);
}

} // namespace

bool matchesQuery(const QString &path, const QString &appName, const QStringList &tags, const QString &ocrText,
                  const QString &loweredQuery)
{
    if (loweredQuery.isEmpty()) {
        return true;
    }
    const QStringView fileName = QStringView(path).mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (containsLowered(fileName, loweredQuery) || containsLowered(appName, loweredQuery)) {
        return true;
    }
    for (const QString &tag : tags) {
        if (containsLowered(tag, loweredQuery)) {
            return true;
        }
    }
    return containsLowered(ocrText, loweredQuery);
}

bool matches(const ScreenshotIndexEntry &entry, const Filter &filter, const QString &loweredQuery)
{
    if (filter.app && entry.appName != *filter.app) {
        return false;
    }
    if (filter.tag && !entry.tags.contains(*filter.tag)) {
        return false;
    }
    return matchesQuery(entry.path, entry.appName, entry.tags, entry.ocrText, loweredQuery);
}

QList<ScreenshotIndexEntry> search(const QHash<QString, ScreenshotIndexEntry> &entries, const Filter &filter)
{
    const QString lowered = filter.query.toLower();
    QList<ScreenshotIndexEntry> found;
    for (const ScreenshotIndexEntry &e : entries) {
        if (matches(e, filter, lowered)) {
            found.append(e);
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const ScreenshotIndexEntry &a, const ScreenshotIndexEntry &b) {
        if (a.timestamp != b.timestamp) {
            return a.timestamp > b.timestamp;
        }
        return a.path < b.path; // a stable order for equal times
    });
    return found;
}

} // namespace LibrarySearch
