// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>

// One filed capture as the running application knows it. Copied by value.
struct ScreenshotRecord
{
    QUuid id;
    QString originalURL; // absolute path where the watcher found the file
    QString movedURL;    // absolute path in the library
    QString appName;     // unsanitised
    QDateTime timestamp;
    QStringList tags;
    std::optional<QString> annotatedURL;

    bool operator==(const ScreenshotRecord &other) const { return id == other.id; }
};
