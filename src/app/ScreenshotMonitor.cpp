// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ScreenshotMonitor.h"

#include "app/DirectoryWatcher.h"
#include "app/ScreenshotNames.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"

#include <QCoreApplication>
#include <QPointer>

ScreenshotMonitor::ScreenshotMonitor(const QString &monitoredDirectory, QObject *parent)
    : QObject(parent), m_monitoredDirectory(monitoredDirectory)
{
    ScreenshotNames::preparePatterns();
}

ScreenshotMonitor::~ScreenshotMonitor() = default;

void ScreenshotMonitor::start()
{
    if (m_isMonitoring) {
        return;
    }
    // A folder that cannot be made shows up as a failure to open it, just below.
    (void)FileSystem::createFolder(m_monitoredDirectory);
    Result<QSet<QString>> listing = FileSystem::listEntryNames(m_monitoredDirectory);
    QSet<QString> known = listing.ok() ? std::move(listing.value()) : QSet<QString>();

    // Called on the watcher's thread: each report becomes a main-thread step that is dropped
    // when the monitor is gone by then.
    QPointer<ScreenshotMonitor> weak(this);
    auto onNew = [weak](const QString &path) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [weak, path] {
                if (weak && weak->onScreenshotDetected) {
                    weak->onScreenshotDetected(path);
                }
            },
            Qt::QueuedConnection);
    };
    m_watcher.reset();
    m_watcher = std::make_unique<DirectoryWatcher>(m_monitoredDirectory, std::move(onNew), std::move(known));
    m_watcher->start();
    setMonitoring(true);
    Log::line(QStringLiteral("Monitoring %1 for screenshots").arg(m_monitoredDirectory));
}

void ScreenshotMonitor::stop()
{
    if (m_watcher) {
        m_watcher->stop();
    }
    m_watcher.reset();
    setMonitoring(false);
    Log::line(QStringLiteral("Stopped monitoring"));
}

void ScreenshotMonitor::setMonitoring(bool on)
{
    if (m_isMonitoring != on) {
        m_isMonitoring = on;
        emit monitoringChanged(on);
    }
}

void ScreenshotMonitor::addRecent(const ScreenshotRecord &record)
{
    m_recentScreenshots.prepend(record);
    emit recentScreenshotsChanged();
    if (m_recentScreenshots.size() > maxRecent) {
        m_recentScreenshots.resize(maxRecent);
        emit recentScreenshotsChanged();
    }
}

void ScreenshotMonitor::removeRecent(const QUuid &id)
{
    const qsizetype removed =
        m_recentScreenshots.removeIf([&id](const ScreenshotRecord &r) { return r.id == id; });
    if (removed > 0) {
        emit recentScreenshotsChanged();
    }
}
