// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ThumbnailCache.h"

#include <QCache>
#include <QObject>
#include <QPixmap>
#include <QSet>
#include <QStringList>
#include <QThreadPool>

#include <memory>

// The cards' thumbnails: made off the main thread for the cards on screen only, at most
// maxSide pixels on the longer side, taken from and given to the shared thumbnail cache, and
// kept in a bounded memory cache. The main thread never waits for a decode.
class GalleryThumbnails : public QObject
{
    Q_OBJECT

public:
    static constexpr int maxSide = 400;
    static constexpr int memoryBudgetKiB = 96 * 1024;

    explicit GalleryThumbnails(std::shared_ptr<const ThumbnailCache> store, QObject *parent = nullptr);
    ~GalleryThumbnails() override;

    // The thumbnail when it is in memory, else a null pixmap.
    QPixmap pixmap(const QString &path) const;
    bool failed(const QString &path) const { return m_failed.contains(path); }
    // Loads what is not in memory yet, in this order; earlier requests not yet started are
    // dropped (their cards have left the screen).
    void want(const QStringList &paths);
    // Forgets everything kept in memory (files may have changed).
    void clear();
    bool idle() const { return m_queue.isEmpty() && m_inFlight.isEmpty(); }

    // A thumbnail of the picture at path, from the shared cache or decoded (and then given to
    // it), at most maxSide on the longer side; null on failure. Any thread.
    static QImage make(const QString &path, const ThumbnailCache &store);

signals:
    void ready(const QString &path);

private:
    void dispatch();
    void finished(const QString &path, const QImage &image);

    std::shared_ptr<const ThumbnailCache> m_store;
    QCache<QString, QPixmap> m_memory;
    QStringList m_queue;
    QSet<QString> m_inFlight;
    QSet<QString> m_failed;
    QThreadPool m_pool; // last: destroyed first, so no job outlives the rest
};
