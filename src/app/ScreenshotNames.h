// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Result.h"

#include <QDateTime>
#include <QString>

// Which file names are screenshots, and where a screenshot goes in the library.
namespace ScreenshotNames {

// True when the whole name (last path component) is a screenshot name: the reference
// pattern or a name written by one of the Linux desktops' screenshot tools.
// Thread-safe; the patterns are compiled once.
bool isScreenshotName(const QString &name);

// Replaces "/", ":" and "\" with "_", trims, and falls back to "Unknown".
QString sanitizeAppName(const QString &appName);

// libraryRoot / sanitised app / yyyy-MM-dd
QString targetFolder(const QString &libraryRoot, const QString &appName, const QDateTime &moment);

// Moves source into the library, named after moment (local time). Returns the new path.
Result<QString> moveIntoLibrary(const QString &source, const QString &appName, const QString &libraryRoot,
                                const QDateTime &moment = QDateTime::currentDateTime());

} // namespace ScreenshotNames
