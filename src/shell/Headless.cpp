// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Headless.h"

#include "app/AppSettings.h"
#include "capture/CaptureSession.h"
#include "library/ScreenshotIndex.h"
#include "platform/Log.h"
#include "shell/QuitSignals.h"

#include <QCoreApplication>

namespace Headless {

int run(int argc, char **argv)
{
    QuitSignals::install();
    QCoreApplication app(argc, argv);
    // Without a display no application is in front: say where the files go, or the
    // "Unknown" folder looks like a fault.
    Log::line(QStringLiteral("No display: running headless, filing screenshots under \"Unknown\" without windows"));

    // The whole pipeline without a display: no front application ("Unknown"), no clipboard,
    // thumbnail or notification; hash, de-duplication, index, scan and clean-up as set.
    CaptureSession session(AppSettings::shared(), ScreenshotIndex::shared());
    session.start();
    QuitSignals::watch(&app);
    const int status = app.exec();
    session.stop();
    return status;
}

} // namespace Headless
