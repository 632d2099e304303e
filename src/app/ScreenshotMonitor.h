// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ScreenshotRecord.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>

#include <functional>
#include <memory>

class DirectoryWatcher;

// Watches one folder and reports each new screenshot file in it once, on the main thread.
// Keeps the newest-first list of filed screenshots and the on/off state the tray shows.
// Main thread only.
class ScreenshotMonitor : public QObject
{
    Q_OBJECT

public:
    static constexpr int maxRecent = 20;

    explicit ScreenshotMonitor(const QString &monitoredDirectory, QObject *parent = nullptr);
    ~ScreenshotMonitor() override;

    // Receives each new screenshot's path on the main thread. Set before start().
    std::function<void(const QString &path)> onScreenshotDetected;

    bool isMonitoring() const { return m_isMonitoring; }
    const QList<ScreenshotRecord> &recentScreenshots() const { return m_recentScreenshots; }
    const QString &monitoredDirectory() const { return m_monitoredDirectory; }

    // Begins watching; does nothing when already watching. Files already in the folder are
    // taken as known and never reported.
    void start();
    // Ends watching; logs on every call.
    void stop();

    // Puts a filed screenshot at the head of the recent list (at most maxRecent are kept).
    void addRecent(const ScreenshotRecord &record);
    // Removes every record with this id, keeping the order of the others.
    void removeRecent(const QUuid &id);

signals:
    void monitoringChanged(bool isMonitoring);
    void recentScreenshotsChanged();

private:
    void setMonitoring(bool on);

    bool m_isMonitoring = false;
    QList<ScreenshotRecord> m_recentScreenshots;
    std::unique_ptr<DirectoryWatcher> m_watcher;
    const QString m_monitoredDirectory;
};
