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
#include <fcntl.h>
#include <unistd.h>

namespace Desktop {

namespace {

int quitPipe[2] = {-1, -1};

void onQuitSignal(int)
{
    const char byte = 1;
    // Only async-signal-safe work here: the main thread does the rest.
    [[maybe_unused]] const ssize_t n = ::write(quitPipe[1], &byte, 1);
}

// SIGINT and SIGTERM end the application the same way as its Quit command, whichever thread
// the kernel hands them to, from the very start. A handler (not a blocked mask) keeps the
// programs we start, such as the file manager, free to receive them: handlers do not survive
// exec, masks do.
void installQuitHandler()
{
    if (::pipe2(quitPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

// A signal that came before the event loop runs is waiting in the pipe and quits at once.
void watchQuitPipe(QObject *context)
{
    if (quitPipe[0] < 0) {
        return;
    }
    auto *notifier = new QSocketNotifier(quitPipe[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [] {
        char buffer[16];
        while (::read(quitPipe[0], buffer, sizeof buffer) > 0) {
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
    installQuitHandler();
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    app.setDesktopFileName(QStringLiteral("pictrove"));
    app.setWindowIcon(Symbols::applicationIcon());

    SingleInstance instance;
    if (!instance.claim()) {
        Log::line(QStringLiteral("Already running; asked it to show its panel"));
        return 0;
    }
    watchQuitPipe(&app);

    AppDelegate delegate(AppSettings::shared());
    QObject::connect(&instance, &SingleInstance::activateRequested, &delegate, &AppDelegate::showPanel);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    delegate.applicationDidFinishLaunching();
    return app.exec();
}

} // namespace Desktop
