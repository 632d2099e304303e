// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/LibrarySearch.h"

#include <QtConcurrent>

#include <algorithm>
#include <cstring>

namespace LibrarySearch {

namespace {

// Case-insensitive search of the lower-cased query: the same matches as lower-casing the
// text, without copying the library's text at every keystroke.
bool containsLowered(QStringView text, const QString &loweredQuery)
{
    return text.contains(loweredQuery, Qt::CaseInsensitive);
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

QByteArray searchKey(const QString &path, const QString &appName, const QStringList &tags, const QString &ocrText)
{
    QByteArray key;
    auto add = [&key](QStringView field) {
        key += field.toString().toLower().toUtf8();
        key += '\0';
    };
    add(QStringView(path).mid(path.lastIndexOf(QLatin1Char('/')) + 1));
    add(appName);
    for (const QString &tag : tags) {
        add(tag);
    }
    add(ocrText);
    key.squeeze();
    return key;
}

QByteArray searchNeedle(const QString &query)
{
    if (query.contains(QChar(0))) {
        return QByteArray(1, '\0'); // never inside one field: matches nothing
    }
    return query.toLower().toUtf8();
}

bool keyMatches(const QByteArray &key, const QByteArray &needle)
{
    if (needle.isEmpty()) {
        return true;
    }
    if (needle.contains('\0')) {
        return false;
    }
    return ::memmem(key.constData(), size_t(key.size()), needle.constData(), size_t(needle.size())) != nullptr;
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
    // Read-only work on copies: spread over the cores.
    QList<ScreenshotIndexEntry> found = QtConcurrent::blockingFiltered(
        entries.values(), [&](const ScreenshotIndexEntry &e) { return matches(e, filter, lowered); });
    std::stable_sort(found.begin(), found.end(), [](const ScreenshotIndexEntry &a, const ScreenshotIndexEntry &b) {
        if (a.timestamp != b.timestamp) {
            return a.timestamp > b.timestamp;
        }
        return a.path < b.path; // a stable order for equal times
    });
    return found;
}

} // namespace LibrarySearch
