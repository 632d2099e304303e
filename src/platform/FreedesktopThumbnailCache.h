// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ThumbnailCache.h"

#include <QList>

// The freedesktop Thumbnail Managing Standard: PNGs named by the MD5 of the file's URI in
// size folders under $XDG_CACHE_HOME/thumbnails, valid while their Thumb::URI and
// Thumb::MTime (and Thumb::Size, when present) match the file. File managers read ours and
// we read theirs.
class FreedesktopThumbnailCache : public ThumbnailCache
{
public:
    struct Folder
    {
        const char *name;
        int size; // longest side of the thumbnails kept there
    };
    // Read in this order: the sharpest that needs no more than a cheap reduction first.
    static const QList<Folder> &readFolders();
    // Written: the sizes file managers ask for most.
    static const QList<Folder> &writtenFolders();

    explicit FreedesktopThumbnailCache(const QString &root); // the "thumbnails" folder
    // $XDG_CACHE_HOME/thumbnails, else ~/.cache/thumbnails.
    static QString defaultRoot();

    // file:// URI with the escaping GLib applies, which the MD5 name is taken of.
    static QByteArray fileUri(const QString &path);
    // <md5 of uri in hex>.png
    static QString fileName(const QByteArray &uri);
    QString pathFor(const Folder &folder, const QByteArray &uri) const;

    QImage find(const Source &source) const override;
    Status store(const Source &source, const QImage &thumbnail) const override;
    int storedSize() const override { return 512; }

private:
    QString m_root;
};
