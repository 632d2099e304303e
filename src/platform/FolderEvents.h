// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <vector>

// Change events of one folder's entries (inotify), read by one worker thread. Reports entries
// created, moved in, removed or moved out, and files closed after writing. interrupt() may be
// called from any thread and wakes the worker for good.
class FolderEvents
{
public:
    enum class Kind {
        added,            // created, or moved in from elsewhere
        removed,          // deleted, or moved away
        closedAfterWrite, // a writer closed the file
        overflow,         // events were lost; everything may have changed
    };
    struct Event
    {
        Kind kind;
        QString name;         // entry name; empty for overflow
        bool movedIn = false; // added by a rename: the file arrived complete
    };

    // What the worker needs to know of one entry, without following a symbolic link.
    struct Entry
    {
        bool exists = false;
        bool regularFile = false;
        quint64 size = 0;
    };

    enum class Wait { events, timeout, interrupted };

    explicit FolderEvents(const QString &folder);
    ~FolderEvents();
    FolderEvents(const FolderEvents &) = delete;
    FolderEvents &operator=(const FolderEvents &) = delete;

    // False when the folder could not be watched; error() says why.
    bool isOpen() const { return m_inotify >= 0 && m_wake >= 0; }
    const QString &error() const { return m_error; }

    // Blocks until events are ready, timeoutMs passes (-1: no limit) or interrupt() is called.
    Wait wait(int timeoutMs);
    // Sleeps for ms unless interrupted; false when interrupted.
    bool sleep(int ms);
    // Takes every event that is ready, without blocking.
    std::vector<Event> take();
    void interrupt();

    static Entry inspect(const QString &path);
    // Whether the file ends as a complete PNG (IEND chunk) or JPEG (end-of-image marker).
    static bool hasImageEnd(const QString &path);

private:
    int m_inotify = -1;
    int m_wake = -1;
    QString m_error;
};
