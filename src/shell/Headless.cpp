// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Headless.h"

#include "app/AppSettings.h"
#include "app/ScreenshotMonitor.h"
#include "capture/CaptureOrganizer.h"
#include "shell/QuitSignals.h"
#include "library/RetentionService.h"
#include "library/ScreenshotIndex.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"

#include <QCoreApplication>
#include <QTimer>

namespace Headless {

int run(int argc, char **argv)
{
    QuitSignals::install();
    QCoreApplication app(argc, argv);
    Log::line(QStringLiteral("No display: running headless, filing screenshots without windows"));
    AppSettings &settings = AppSettings::shared();

    // Launch, in order: library root, monitor wired to the filing, the system thumbnail.
    (void)FileSystem::createFolder(settings.libraryRoot());
    ScreenshotMonitor monitor(settings.resolvedSourceFolder());
    // The whole pipeline without a display: no front application ("Unknown"), no
    // clipboard, thumbnail or notification; hash, de-duplication, index and scan as set.
    ScreenshotIndex &index = ScreenshotIndex::shared();
    CaptureOrganizer organizer(settings, index);
    organizer.setRecentSink([&monitor](const ScreenshotRecord &record) { monitor.addRecent(record); });
    monitor.onScreenshotDetected = [&organizer](const QString &path) { organizer.organizeScreenshot(path); };
    monitor.start();
    settings.applySystemThumbnailPreference();
    QuitSignals::watch(&app);

    // Retention 10 seconds after launch, then every 6 hours, each time as the settings say.
    QTimer::singleShot(10 * 1000, &app, [&settings, &index] { RetentionService::runIfEnabled(settings, index); });
    QTimer retentionTimer;
    retentionTimer.setInterval(6 * 60 * 60 * 1000);
    QObject::connect(&retentionTimer, &QTimer::timeout, &app,
                     [&index] { RetentionService::runIfEnabled(AppSettings::shared(), index); });
    retentionTimer.start();

    const int status = app.exec();

    // Quit, in order: the monitor stops, then the system thumbnail is put back.
    monitor.stop();
    if (settings.disableSystemThumbnail()) {
        settings.restoreSystemThumbnail();
    }
    return status;
}

} // namespace Headless
