// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A dbus-daemon of this test process's own, started on first use and made the session bus
// (a process keeps its first session connection, so every test here shares the one daemon).
// Empty when dbus-daemon cannot run.
QString privateSessionBusAddress();
