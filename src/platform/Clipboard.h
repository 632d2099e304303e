// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

class QMimeData;

// Puts a file on the desktop clipboard the way file managers do, so that pasting into a file
// manager copies the file and pasting into an editor or chat inserts the picture.
class Clipboard
{
public:
    // Replaces the clipboard's content with the file and, when not null, its image.
    static void copyFile(const QString &path, const QImage &image = QImage());

    // The content copyFile puts on the clipboard.
    static QMimeData *mimeDataFor(const QString &path, const QImage &image);
};
