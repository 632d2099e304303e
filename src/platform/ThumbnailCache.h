// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <memory>
#include <optional>

// Thumbnails kept across runs and shared with other programs. Thread-safe: every call works
// on its arguments and the file system only.
class ThumbnailCache
{
public:
    // A picture as the cache knows it, taken before its thumbnail is made, so that a file
    // changed meanwhile never gets a thumbnail that claims to be current.
    struct Source
    {
        QString path;
        QByteArray uri;
        qint64 mtime = 0; // seconds
        qint64 size = 0;  // bytes
    };

    // The stamp of the file at path, or none when it cannot be read.
    static std::optional<Source> source(const QString &path);

    // The freedesktop cache under $XDG_CACHE_HOME/thumbnails, or none at all.
    static std::unique_ptr<ThumbnailCache> freedesktop();
    static std::unique_ptr<ThumbnailCache> none();

    virtual ~ThumbnailCache() = default;

    // A stored thumbnail that is still valid for the source, or a null image.
    virtual QImage find(const Source &source) const = 0;
    // Keeps a thumbnail made from the source (at most storedSize on its longer side).
    virtual Status store(const Source &source, const QImage &thumbnail) const = 0;
    // The longest side worth making for store().
    virtual int storedSize() const = 0;
    // Keeps a thumbnail of the picture itself, decoded from the source at any size.
    Status storeFrom(const Source &source, const QImage &picture) const;
};
