// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gallery/GalleryFilter.h"

#include "library/LibrarySearch.h"

#include <QSet>
#include <QThread>
#include <QtConcurrent>

#include <algorithm>
#include <vector>

namespace GalleryFilter {

namespace {

// Filters the candidate rows in a few chunks on the pool; the result keeps their order.
QList<int> filterRows(const QList<GalleryItem> &items, const Criteria &criteria, const QList<int> *candidates)
{
    const qsizetype count = candidates ? candidates->size() : items.size();
    const QByteArray needle = LibrarySearch::searchNeedle(criteria.searchText);
    struct Chunk
    {
        qsizetype begin, end;
        QList<int> rows;
    };
    const qsizetype chunks = count < 4096 ? 1 : qsizetype(QThread::idealThreadCount()) * 2;
    std::vector<Chunk> parts;
    for (qsizetype c = 0; c < chunks; ++c) {
        parts.push_back({count * c / chunks, count * (c + 1) / chunks, {}});
    }
    auto run = [&](Chunk &chunk) {
        for (qsizetype i = chunk.begin; i < chunk.end; ++i) {
            const int row = candidates ? candidates->at(i) : int(i);
            if (matches(items.at(row), criteria, needle)) {
                chunk.rows.append(row);
            }
        }
    };
    if (parts.size() == 1) {
        run(parts.front());
    } else {
        QtConcurrent::blockingMap(parts, run);
    }
    QList<int> rows;
    rows.reserve(count);
    for (const Chunk &chunk : parts) {
        rows.append(chunk.rows);
    }
    return rows;
}

QStringList options(const QString &all, QSet<QString> names)
{
    QStringList sorted(names.begin(), names.end());
    std::sort(sorted.begin(), sorted.end());
    sorted.prepend(all);
    return sorted;
}

} // namespace

bool matches(const GalleryItem &item, const Criteria &criteria, const QByteArray &needle)
{
    if (criteria.app != allApps && item.appName != criteria.app) {
        return false;
    }
    if (criteria.tag != allTags && !item.tags.contains(criteria.tag)) {
        return false;
    }
    return LibrarySearch::keyMatches(item.searchKey, needle);
}

QList<int> visibleRows(const QList<GalleryItem> &items, const Criteria &criteria)
{
    return filterRows(items, criteria, nullptr);
}

QList<int> narrowedRows(const QList<GalleryItem> &items, const Criteria &criteria, const Criteria &previous,
                        const QList<int> &previousRows)
{
    const bool narrows = criteria.app == previous.app && criteria.tag == previous.tag
        && criteria.searchText.toLower().contains(previous.searchText.toLower());
    return narrows ? filterRows(items, criteria, &previousRows) : filterRows(items, criteria, nullptr);
}

QStringList appOptions(const QList<GalleryItem> &items)
{
    QSet<QString> names;
    for (const GalleryItem &item : items) {
        names.insert(item.appName);
    }
    return options(allApps, std::move(names));
}

QStringList tagOptions(const QList<GalleryItem> &items)
{
    QSet<QString> names;
    for (const GalleryItem &item : items) {
        for (const QString &tag : item.tags) {
            names.insert(tag);
        }
    }
    return options(allTags, std::move(names));
}

QString countText(qsizetype visible, qsizetype total)
{
    return QStringLiteral("%1 of %2").arg(visible).arg(total);
}

} // namespace GalleryFilter
