// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// One card of the library window, fixed once built. Its identity is its path.
struct GalleryItem
{
    QString url; // absolute path of the image file
    QString appName;
    QDateTime date;
    QStringList tags;
    QString ocrText; // searched, not shown
    bool hasPII = false;
    // The searched fields lowered (LibrarySearch::searchKey), built with the item.
    QByteArray searchKey;

    static GalleryItem make(const QString &url, const QString &appName, const QDateTime &date,
                            const QStringList &tags, const QString &ocrText, bool hasPII);

    const QString &id() const { return url; }
    QString fileName() const { return url.mid(url.lastIndexOf(QLatin1Char('/')) + 1); }
};
