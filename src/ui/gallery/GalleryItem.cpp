// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gallery/GalleryItem.h"

#include "library/LibrarySearch.h"

GalleryItem GalleryItem::make(const QString &url, const QString &appName, const QDateTime &date,
                              const QStringList &tags, const QString &ocrText, bool hasPII)
{
    return GalleryItem{url, appName, date, tags, ocrText, hasPII, LibrarySearch::searchKey(url, appName, tags, ocrText)};
}
