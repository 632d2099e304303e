// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QObject;

// SIGINT and SIGTERM end the application the way its Quit command does, whichever thread the
// kernel hands them to.
namespace QuitSignals {

// Installs the handlers. Call before any thread starts; a signal that arrives before `watch`
// waits in a pipe and quits as soon as the event loop runs.
void install();

// Quits the application's event loop, on the main thread, once a signal has arrived.
void watch(QObject *context);

} // namespace QuitSignals
