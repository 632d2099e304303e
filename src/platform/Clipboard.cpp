// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

QMimeData *Clipboard::mimeDataFor(const QString &path, const QImage &image)
{
    auto *data = new QMimeData;
    const QUrl url = QUrl::fromLocalFile(path);
    data->setUrls({url}); // text/uri-list
    // GNOME's and KDE's file managers read these to tell a copy from a cut.
    data->setData(QStringLiteral("x-special/gnome-copied-files"), "copy\n" + url.toEncoded());
    data->setData(QStringLiteral("application/x-kde-cutselection"), "0");
    if (!image.isNull()) {
        data->setImageData(image);
    }
    return data;
}

void Clipboard::copyFile(const QString &path, const QImage &image)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        return;
    }
    clipboard->clear();
    clipboard->setMimeData(mimeDataFor(path, image));
}
