// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Desktop.h"

#include "app/AppSettings.h"
#include "shell/AppDelegate.h"
#include "shell/QuitSignals.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/SingleInstance.h"
#include "ui/Symbols.h"

#include <QApplication>

namespace Desktop {

bool haveDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

void choosePlatform()
{
    // On Wayland a client can neither place its own windows nor see which window is active nor
    // grab a key; through XWayland it can.
    if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
}

int run(int argc, char **argv)
{
    choosePlatform();
    QuitSignals::install();
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    app.setDesktopFileName(QStringLiteral("pictrove"));
    app.setWindowIcon(Symbols::applicationIcon());

    SingleInstance instance;
    if (!instance.claim()) {
        Log::line(QStringLiteral("Already running; asked it to show its panel"));
        return 0;
    }
    QuitSignals::watch(&app);

    AppDelegate delegate(AppSettings::shared());
    QObject::connect(&instance, &SingleInstance::activateRequested, &delegate, &AppDelegate::showPanel);
    QObject::connect(&instance, &SingleInstance::openWindowRequested, &delegate,
                     [](const QString &name, const QVariantMap &userInfo) {
                         // Only the window-opening notifications may be posted from outside.
                         if (NotificationCenter::isWindowNotification(name)) {
                             NotificationCenter::defaultCenter().post(name, userInfo);
                         }
                     });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    delegate.applicationDidFinishLaunching();
    return app.exec();
}

} // namespace Desktop
