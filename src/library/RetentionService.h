// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QFuture>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class AppSettings;
class ScreenshotIndex;

// Moves library images older than the chosen number of days to the Trash or into the
// "Archive" folder at the top of the library, then brings the index in line.
class RetentionService
{
public:
    struct Config
    {
        QString root; // the library folder
        qint64 days = 0;
        bool archive = false; // false: Trash
    };

    struct Move
    {
        QString from;
        std::optional<QString> to; // none when the file went to the Trash
        bool operator==(const Move &) const = default;
    };
    using Moves = QList<Move>;

    // The extensions considered, compared lower-cased.
    static const QStringList &imageExtensions();
    static bool isImagePath(const QString &path);

    // The run the settings ask for, or none when the clean-up is off.
    static std::optional<Config> configFrom(const AppSettings &settings);

    // When enabled, walks the library on a background thread and applies the moves to the
    // index back on its thread. Returns at once; the future ends after the index update.
    static QFuture<void> runIfEnabled(const AppSettings &settings, ScreenshotIndex &index);

    // The file-system pass; any thread. Never follows symbolic links and never moves
    // anything from or to outside the root.
    static Moves collectExpired(const Config &config, const QDateTime &now = QDateTime::currentDateTimeUtc());

    // Main thread: moves or removes the entries of the moved files and logs the summary.
    static void applyToIndex(const Moves &moves, const Config &config, ScreenshotIndex &index);
};
