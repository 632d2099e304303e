// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Result.h"

#include <QString>

// Starting Pictrove at login through an XDG autostart entry,
// $XDG_CONFIG_HOME/autostart/pictrove.desktop: written to enable, removed to disable.
namespace LoginItems {

QString autostartFile();

// Whether the entry is there and not hidden or switched off.
bool isEnabled();

// Writes (atomically) or removes the entry. Exec names program, or the running executable
// when program is empty.
Status setEnabled(bool enabled, const QString &program = QString());

} // namespace LoginItems
