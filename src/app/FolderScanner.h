// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FolderEvents.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <chrono>

// The directory watcher's memory of one folder: the names seen at the last listing and the
// screenshots found but not yet complete. Finds new names by listing the folder and taking the
// difference, keeps those with a screenshot name that are regular files, and hands each one
// back once, when its writer is done with it. Used by one thread at a time.
class FolderScanner
{
public:
    using Clock = std::chrono::steady_clock;

    struct Timing
    {
        // A file that ends like a complete PNG or JPEG and kept its size this long is done.
        std::chrono::milliseconds markerStable{300};
        // Any other file is done once its size stayed unchanged this long.
        std::chrono::milliseconds stable{2000};
        // A file still empty this long after it was found is skipped for good.
        std::chrono::milliseconds emptyLimit{10000};
    };

    FolderScanner(QString directory, QSet<QString> knownFiles);
    FolderScanner(QString directory, QSet<QString> knownFiles, Timing timing);

    // Takes note of a change event, so that a file its writer closed (or that was renamed into
    // place) counts as complete without waiting for its size to settle.
    void note(const FolderEvents::Event &event);

    // Lists the folder, remembers the listing, and examines each name that was not in the last
    // one. Returns the names of the new screenshots that are complete now.
    QStringList scan(Clock::time_point now = Clock::now());

    // Examines the pending screenshots again; returns the names of those now complete.
    QStringList recheck(Clock::time_point now = Clock::now());

    bool hasPending() const { return !m_pending.isEmpty(); }
    const QSet<QString> &knownFiles() const { return m_known; }

    // Names in current that are not in known.
    static QSet<QString> newNames(const QSet<QString> &current, const QSet<QString> &known);

private:
    struct Pending
    {
        quint64 size = 0;
        Clock::time_point firstSeen;
        Clock::time_point sizeSince;
    };
    enum class Verdict { report, wait, skip };

    Verdict examine(const QString &name, Pending &state, Clock::time_point now) const;

    const QString m_directory;
    const Timing m_timing;
    QSet<QString> m_known;
    QHash<QString, Pending> m_pending;
    // Size of each file when its writer closed it or it was renamed into place.
    QHash<QString, quint64> m_finishedSize;
};
