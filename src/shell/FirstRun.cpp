// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/FirstRun.h"

#include "app/AppSettings.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"
#include "platform/Notifications.h"
#include "privacy/FaceDetector.h"
#include "privacy/TesseractEnginePool.h"

#include <QFileInfo>
#include <QPointer>

namespace FirstRun {

namespace {

// A path as a person reads it: the home folder as "~".
QString shown(const QString &path)
{
    const QString home = FileSystem::homeFolder();
    if (path == home) {
        return QStringLiteral("~");
    }
    return path.startsWith(home + QLatin1Char('/')) ? QLatin1Char('~') + path.mid(home.size()) : path;
}

} // namespace

StartupNotices::Conditions probe(const AppSettings &settings, bool hasSystemTray)
{
    StartupNotices::Conditions c;
    const QString watched = settings.resolvedSourceFolder();
    c.watchedFolder = shown(watched);
    c.watchedFolderExists = QFileInfo(watched).isDir();
    c.hasSystemTray = hasSystemTray;
    c.textRecognitionDataInstalled = TesseractEnginePool::englishDataInstalled();
    c.faceDataInstalled = FaceDetector::isAvailable();
    c.facesWanted = settings.enablePIIRedaction() && settings.redactFaces();
    const QString library = settings.libraryRoot();
    c.libraryFolder = shown(library);
    c.libraryHoldsTags = FileSystem::supportsTags(library);
    return c;
}

void offerLaunchAtLogin(AppSettings &settings, QObject *context)
{
    if (settings.state(Settings::launchAtLoginOffered)) {
        return;
    }
    if (settings.launchAtLogin()) {
        settings.setState(Settings::launchAtLoginOffered, true);
        return;
    }
    QPointer<AppSettings> target(&settings);
    Notifications::postWithAction(
        QStringLiteral("Pictrove is running"),
        QStringLiteral("It files new screenshots from its tray icon. Start it at login to keep every screenshot in order."),
        QStringLiteral("Start Pictrove at login"), context,
        [target](bool posted) {
            if (target && posted) {
                target->setState(Settings::launchAtLoginOffered, true);
            }
        },
        [target] {
            if (target) {
                Log::line(QStringLiteral("Starting at login, as asked"));
                target->setLaunchAtLogin(true);
            }
        });
}

} // namespace FirstRun
