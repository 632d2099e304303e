// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DirectoryWatcher.h"

#include "platform/FolderEvents.h"
#include "platform/Log.h"

#include <pthread.h>

#include <utility>

DirectoryWatcher::DirectoryWatcher(QString directory, Callback onNewScreenshot, QSet<QString> knownFiles)
    : DirectoryWatcher(std::move(directory), std::move(onNewScreenshot), std::move(knownFiles), Timing())
{
}

DirectoryWatcher::DirectoryWatcher(QString directory, Callback onNewScreenshot, QSet<QString> knownFiles, Timing timing)
    : m_directory(std::move(directory)), m_onNewScreenshot(std::move(onNewScreenshot)), m_timing(timing),
      m_initialKnown(std::move(knownFiles))
{
}

DirectoryWatcher::~DirectoryWatcher() { stop(); }

void DirectoryWatcher::start()
{
    if (m_started) {
        return;
    }
    m_started = true;
    auto events = std::make_unique<FolderEvents>(m_directory);
    if (!events->isOpen()) {
        Log::line(QStringLiteral("Failed to open directory for monitoring: ") + m_directory);
        return;
    }
    m_events = std::move(events);
    m_thread = std::thread(&DirectoryWatcher::run, this,
                           FolderScanner(m_directory, std::exchange(m_initialKnown, {}), m_timing.files));
}

void DirectoryWatcher::stop()
{
    if (!m_events) {
        return;
    }
    m_events->interrupt();
    if (m_thread.joinable()) {
        m_thread.join();
    }
    m_events.reset();
}

void DirectoryWatcher::run(FolderScanner scanner)
{
    pthread_setname_np(pthread_self(), "pictrove-watch");
    const auto report = [this](const QStringList &names) {
        for (const QString &name : names) {
            Log::line(QStringLiteral("Detected screenshot: ") + name);
            m_onNewScreenshot(m_directory + QLatin1Char('/') + name);
        }
    };
    for (;;) {
        const int timeout = scanner.hasPending() ? int(m_timing.recheck.count()) : -1;
        const FolderEvents::Wait woke = m_events->wait(timeout);
        if (woke == FolderEvents::Wait::interrupted) {
            return;
        }
        bool entriesChanged = false;
        if (woke == FolderEvents::Wait::events) {
            for (const FolderEvents::Event &e : m_events->take()) {
                scanner.note(e);
                entriesChanged = entriesChanged || e.kind != FolderEvents::Kind::closedAfterWrite;
            }
        }
        if (entriesChanged) {
            // Let the screenshot tool finish. Whatever changes from here on until the listing is
            // covered by it; later changes wait in the queue and bring one more run.
            if (!m_events->sleep(int(m_timing.settle.count()))) {
                return;
            }
            for (const FolderEvents::Event &e : m_events->take()) {
                scanner.note(e);
            }
            report(scanner.scan());
        }
        report(scanner.recheck());
    }
}
