// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/Headless.h"

#include "app/AppSettings.h"
#include "app/ScreenshotMonitor.h"
#include "app/capture/CaptureOrganizer.h"
#include "library/RetentionService.h"
#include "library/ScreenshotIndex.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace Headless {

namespace {

int g_signalPipe[2] = {-1, -1};

extern "C" void onQuitSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

// SIGINT and SIGTERM end the event loop, so that the quit steps run in order. The handler only
// writes a byte into a pipe; whichever thread it runs on, the main thread does the rest.
void quitOnSignals(QObject *context)
{
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [] {
        char buffer[16];
        while (::read(g_signalPipe[0], buffer, sizeof buffer) > 0) {
        }
        QCoreApplication::quit();
    });
}

} // namespace

int run(int argc, char **argv)
{
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
    quitOnSignals(&app);

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
