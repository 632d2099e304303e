// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Result.h"

#include <QDateTime>
#include <QString>

// Which file names are screenshots, and where a screenshot goes in the library.
namespace ScreenshotNames {

// True when the whole name (last path component) is a screenshot name
// (ScreenshotNameMatcher::shared()). Thread-safe; the patterns are compiled once, on first use
// or by preparePatterns().
bool isScreenshotName(const QString &name);

// Compiles the patterns now, so that the first name test costs no more than the others.
void preparePatterns();

// Replaces "/", ":" and "\" with "_", trims, and falls back to "Unknown". A name that would
// leave the application folder ("." or "..") is "Unknown"; leading dots become "_" so that the
// folder is not hidden. The result is in Unicode NFC.
QString sanitizeAppName(const QString &appName);

// libraryRoot / sanitised app / yyyy-MM-dd (the local date of moment)
QString targetFolder(const QString &libraryRoot, const QString &appName, const QDateTime &moment);

// "screenshot_HH-mm-ss.ext" or, for n > 0, "screenshot_HH-mm-ss_n.ext".
QString fileName(const QDateTime &moment, const QString &extension, int n);

// Moves source into the library, named after moment (local time). Returns the new path.
// Errors of folder creation and of the move are passed on unchanged; on failure the source
// stays where it was.
Result<QString> moveIntoLibrary(const QString &source, const QString &appName, const QString &libraryRoot,
                                const QDateTime &moment = QDateTime::currentDateTime());

} // namespace ScreenshotNames
