// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/Desktop.h"

#include "app/AppSettings.h"
#include "app/shell/AppDelegate.h"
#include "platform/Log.h"
#include "platform/SingleInstance.h"
#include "ui/Symbols.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>

namespace Desktop {

namespace {

// SIGINT and SIGTERM end the application the same way as its Quit command.
void quitOnSignals(QObject *context)
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    const int fd = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
    if (fd < 0) {
        return;
    }
    auto *notifier = new QSocketNotifier(fd, QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [fd] {
        signalfd_siginfo info;
        while (read(fd, &info, sizeof info) == sizeof info) {
        }
        QCoreApplication::quit();
    });
}

} // namespace

int run(int argc, char **argv)
{
    // On Wayland a client can neither place its own windows nor see which window is active nor
    // grab a key; through XWayland it can.
    if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    app.setDesktopFileName(QStringLiteral("pictrove"));
    app.setWindowIcon(Symbols::applicationIcon());

    SingleInstance instance;
    if (!instance.claim()) {
        Log::line(QStringLiteral("Already running; asked it to show its panel"));
        return 0;
    }
    quitOnSignals(&app);

    AppDelegate delegate(AppSettings::shared());
    QObject::connect(&instance, &SingleInstance::activateRequested, &delegate, &AppDelegate::showPanel);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    delegate.applicationDidFinishLaunching();
    return app.exec();
}

} // namespace Desktop
