// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/FolderScanner.h"

#include <QSet>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

class FolderEvents;

// Watches one folder on a worker thread of its own: after each change of the folder's entry
// list it waits 0.7 s for the screenshot tool to finish, lists the folder and reports each new,
// complete screenshot file once (FolderScanner). Runs never overlap; changes during a run lead
// to one further run. The callback is called on the worker thread.
class DirectoryWatcher
{
public:
    using Callback = std::function<void(const QString &path)>;

    struct Timing
    {
        std::chrono::milliseconds settle{700};
        // How often files still being written are looked at again.
        std::chrono::milliseconds recheck{100};
        FolderScanner::Timing files;
    };

    DirectoryWatcher(QString directory, Callback onNewScreenshot, QSet<QString> knownFiles);
    DirectoryWatcher(QString directory, Callback onNewScreenshot, QSet<QString> knownFiles, Timing timing);
    ~DirectoryWatcher();
    DirectoryWatcher(const DirectoryWatcher &) = delete;
    DirectoryWatcher &operator=(const DirectoryWatcher &) = delete;

    // Opens the folder for change events and starts the worker; logs when the folder cannot be
    // opened, and then never reports anything. A watcher starts at most once.
    void start();
    // Stops the worker and closes the folder; the callback is not called after stop() returns.
    void stop();

private:
    void run(FolderScanner scanner);

    const QString m_directory;
    const Callback m_onNewScreenshot;
    const Timing m_timing;
    QSet<QString> m_initialKnown;
    bool m_started = false;
    std::unique_ptr<FolderEvents> m_events;
    std::thread m_thread;
};
