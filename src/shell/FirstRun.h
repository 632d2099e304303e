// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/StartupNotices.h"

class AppSettings;
class QObject;

// What the tray application tells the user as it starts: what is missing, and, on the first
// start only, the offer to start at login.
namespace FirstRun {

// Looks at the folders, the installed data and the tray; reads only.
StartupNotices::Conditions probe(const AppSettings &settings, bool hasSystemTray);

// On the first start, a notification whose button turns launch at login on; nothing is
// switched on without it. Recorded once the server has taken the notification, so a start
// without a notification server offers it again next time.
void offerLaunchAtLogin(AppSettings &settings, QObject *context);

} // namespace FirstRun
