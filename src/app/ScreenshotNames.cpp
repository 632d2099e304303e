// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ScreenshotNames.h"

#include "app/ScreenshotNameMatcher.h"
#include "platform/FileSystem.h"

#include <QFileInfo>

namespace ScreenshotNames {

bool isScreenshotName(const QString &name) { return ScreenshotNameMatcher::shared().matches(name); }

void preparePatterns() { ScreenshotNameMatcher::shared(); }

QString sanitizeAppName(const QString &appName)
{
    QString s = appName;
    for (QChar &c : s) {
        if (c == QLatin1Char('/') || c == QLatin1Char(':') || c == QLatin1Char('\\')) {
            c = QLatin1Char('_');
        }
    }
    s = s.trimmed().normalized(QString::NormalizationForm_C);
    // "." and ".." would file into the library root or above it.
    if (s.isEmpty() || s == QLatin1String(".") || s == QLatin1String("..")) {
        return QStringLiteral("Unknown");
    }
    // A leading dot would hide the folder from the gallery and the clean-up.
    for (QChar &c : s) {
        if (c != QLatin1Char('.')) {
            break;
        }
        c = QLatin1Char('_');
    }
    return s;
}

QString targetFolder(const QString &libraryRoot, const QString &appName, const QDateTime &moment)
{
    return libraryRoot + QLatin1Char('/') + sanitizeAppName(appName) + QLatin1Char('/') +
           moment.toLocalTime().toString(QStringLiteral("yyyy-MM-dd"));
}

QString fileName(const QDateTime &moment, const QString &extension, int n)
{
    const QString time = moment.toLocalTime().toString(QStringLiteral("HH-mm-ss"));
    if (n <= 0) {
        return QStringLiteral("screenshot_%1.%2").arg(time, extension);
    }
    return QStringLiteral("screenshot_%1_%2.%3").arg(time).arg(n).arg(extension);
}

Result<QString> moveIntoLibrary(const QString &source, const QString &appName, const QString &libraryRoot,
                                const QDateTime &moment)
{
    const QString folder = targetFolder(libraryRoot, appName, moment);
    const Status created = FileSystem::createFolder(folder);
    if (!created) {
        return Result<QString>::failure(created.error());
    }
    QString extension = QFileInfo(source).suffix();
    if (extension.isEmpty()) {
        extension = QStringLiteral("png");
    }
    for (int n = 0;; ++n) {
        const QString candidate = folder + QLatin1Char('/') + fileName(moment, extension, n);
        if (FileSystem::exists(candidate)) {
            continue;
        }
        const Status moved = FileSystem::move(source, candidate);
        if (moved) {
            return Result<QString>::success(candidate);
        }
        // Another process took the name between the test and the move: the move refuses to
        // replace it, so the next number is tried rather than leaving the capture unfiled.
        if (FileSystem::exists(candidate) && FileSystem::exists(source)) {
            continue;
        }
        return Result<QString>::failure(moved.error());
    }
}

} // namespace ScreenshotNames
