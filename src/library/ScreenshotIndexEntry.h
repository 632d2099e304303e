// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <optional>

// What the index knows about one screenshot file. Its identity is its path.
struct ScreenshotIndexEntry
{
    QString path;
    QString appName;
    QDateTime timestamp;
    QString ocrText;
    QList<QRectF> piiRects; // bitmap pixels, origin top-left: text areas first, then faces
    QStringList tags;       // in the order they were applied
    std::optional<QString> contentHash; // lower-case hex SHA-256

    const QString &id() const { return path; }
    bool operator==(const ScreenshotIndexEntry &other) const = default;
};
