// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/CaptureSession.h"

#include "app/AppSettings.h"
#include "app/ScreenshotMonitor.h"
#include "capture/CaptureOrganizer.h"
#include "library/RetentionService.h"
#include "platform/FileSystem.h"
#include "platform/ThumbnailCache.h"

#include <QPointer>

CaptureSession::CaptureSession(AppSettings &settings, ScreenshotIndex &index, QObject *parent)
    : CaptureSession(settings, index, CleanUp(), parent)
{
}

CaptureSession::CaptureSession(AppSettings &settings, ScreenshotIndex &index, CleanUp cleanUp, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_index(index)
    , m_cleanUp(std::move(cleanUp))
    , m_organizer(new CaptureOrganizer(settings, index, this))
{
    if (!m_cleanUp.run) {
        m_cleanUp.run = [](const AppSettings &s, ScreenshotIndex &i) { (void)RetentionService::runIfEnabled(s, i); };
    }
    m_organizer->setRecentSink([this](const ScreenshotRecord &record) { monitor().addRecent(record); });
    m_organizer->setThumbnailCache(ThumbnailCache::freedesktop());
}

CaptureSession::~CaptureSession() = default;

ScreenshotMonitor &CaptureSession::monitor()
{
    if (!m_monitor) {
        m_monitor = new ScreenshotMonitor(m_settings.resolvedSourceFolder(), this);
        connect(m_monitor, &ScreenshotMonitor::recentScreenshotsChanged, this, &CaptureSession::recentScreenshotsChanged);
        connect(m_monitor, &ScreenshotMonitor::monitoringChanged, this, &CaptureSession::monitoringChanged);
    }
    return *m_monitor;
}

void CaptureSession::start(const FrontEndSteps &steps)
{
    (void)FileSystem::createFolder(m_settings.libraryRoot());
    if (steps.beforeMonitor) {
        steps.beforeMonitor();
    }
    // Each report is filed in a main-thread step of its own that holds the session weakly:
    // a report that arrives after the session is gone files nothing.
    QPointer<CaptureSession> self(this);
    monitor().onScreenshotDetected = [self](const QString &path) {
        QMetaObject::invokeMethod(
            self.data(),
            [self, path] {
                if (self) {
                    self->m_organizer->organizeScreenshot(path);
                }
            },
            Qt::QueuedConnection);
    };
    monitor().start();
    m_settings.applySystemThumbnailPreference();
    if (steps.beforeCleanUp) {
        steps.beforeCleanUp();
    }
    // Both runs take this session's settings and index; the service decides from the
    // settings of the moment whether to do anything.
    QTimer::singleShot(m_cleanUp.delayMs, this, &CaptureSession::runCleanUp);
    m_cleanUpTimer.setInterval(m_cleanUp.intervalMs);
    connect(&m_cleanUpTimer, &QTimer::timeout, this, &CaptureSession::runCleanUp, Qt::UniqueConnection);
    m_cleanUpTimer.start();
}

void CaptureSession::stop()
{
    monitor().stop();
    if (m_settings.disableSystemThumbnail()) {
        m_settings.restoreSystemThumbnail();
    }
}

void CaptureSession::runCleanUp() { m_cleanUp.run(m_settings, m_index); }
