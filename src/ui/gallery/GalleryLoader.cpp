// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gallery/GalleryLoader.h"

#include "library/LibrarySearch.h"
#include "platform/FileSystem.h"
#include "tags/FileTags.h"

#include <QMutex>
#include <QSet>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent>

#include <algorithm>
#include <memory>
#include <numeric>
#include <vector>

namespace GalleryLoader {

namespace {

// The earliest date kept by the list: files with no date at all sort last.
const QDateTime &distantPast()
{
    static const QDateTime date(QDate(1, 1, 1), QTime(0, 0), Qt::UTC);
    return date;
}

struct Found
{
    GalleryItem item;
    bool needsFileTags = false;
};

} // namespace

bool isPicture(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < path.lastIndexOf(QLatin1Char('/'))) {
        return false;
    }
    const QStringView ext = QStringView(path).mid(dot + 1);
    for (const char *known : {"png", "jpg", "jpeg", "tiff", "heic", "gif", "webp"}) {
        if (ext.compare(QLatin1String(known), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

QString appNameFromPath(const QString &root, const QString &path)
{
    QString prefix = root;
    while (prefix.size() > 1 && prefix.endsWith(QLatin1Char('/'))) {
        prefix.chop(1);
    }
    prefix += QLatin1Char('/');
    const QStringView rest = path.startsWith(prefix) ? QStringView(path).mid(prefix.size()) : QStringView(path);
    QList<QStringView> parts = rest.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (!parts.isEmpty() && parts.first() == QLatin1String("Archive")) {
        parts.removeFirst(); // archived files keep their application folder
    }
    return parts.size() >= 2 ? parts.first().toString() : QStringLiteral("Unknown");
}

QList<GalleryItem> load(const QString &root, const ScreenshotIndex::Entries &entries, const TagReader &readTags)
{
    std::vector<Found> found;
    FileSystem::walk(root, [&](const FileSystem::WalkItem &w) {
        if (w.isDirectory || !isPicture(w.path)) {
            return true;
        }
        Found f;
        GalleryItem &item = f.item;
        item.url = w.path;
        const auto entry = entries.constFind(w.path);
        if (entry != entries.cend()) {
            item.appName = entry->appName;
            item.date = entry->timestamp;
            item.tags = entry->tags;
            item.ocrText = entry->ocrText;
            item.hasPII = !entry->piiRects.isEmpty();
        } else {
            item.appName = appNameFromPath(root, w.path);
            item.date = w.created.isValid() ? w.created : distantPast();
        }
        f.needsFileTags = item.tags.isEmpty();
        found.push_back(std::move(f));
        return true;
    });

    // File tags and the lowered search text: per-file work, spread over the cores. A pool of
    // its own: loads themselves run on the global pool, and two of them waiting there for
    // their own map would leave it no thread to run it on.
    QThreadPool pool;
    pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    QtConcurrent::blockingMap(&pool, found, [&readTags](Found &f) {
        if (f.needsFileTags && readTags) {
            f.item.tags = readTags(f.item.url);
        }
        f.item.searchKey = LibrarySearch::searchKey(f.item.url, f.item.appName, f.item.tags, f.item.ocrText);
    });

    // Newest first; equal dates by path, so that the order is repeatable. The instants are
    // taken once: comparing local date-times converts them at every comparison.
    std::vector<std::pair<qint64, qsizetype>> order;
    order.reserve(found.size());
    for (size_t i = 0; i < found.size(); ++i) {
        order.emplace_back(found[i].item.date.toMSecsSinceEpoch(), qsizetype(i));
    }
    std::sort(order.begin(), order.end(), [&found](const auto &a, const auto &b) {
        if (a.first != b.first) {
            return a.first > b.first;
        }
        return found[size_t(a.second)].item.url < found[size_t(b.second)].item.url;
    });
    QList<GalleryItem> items;
    items.reserve(qsizetype(found.size()));
    for (const auto &[_, i] : order) {
        items.append(std::move(found[size_t(i)].item));
    }
    return items;
}

TagReader fileTagReader()
{
    struct Seen
    {
        QMutex mutex;
        QSet<QString> errors;
    };
    auto seen = std::make_shared<Seen>();
    return [seen](const QString &path) {
        const Result<QStringList> tags = FileTags::tryReadTags(path);
        if (tags) {
            return tags.value();
        }
        // A library on a file system without user attributes fails alike for every file.
        QMutexLocker lock(&seen->mutex);
        if (!seen->errors.contains(tags.error())) {
            seen->errors.insert(tags.error());
            return FileTags::readTags(path); // logs the failure
        }
        return QStringList();
    };
}

} // namespace GalleryLoader
