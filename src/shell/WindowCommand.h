// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariantMap>

// The sub-commands that open a window (annotate, library, preferences, tag --dialog): the
// window opens in the running Pictrove when there is one, else in this process, which then
// ends when its last window closes. Needs a QApplication; the caller checks its arguments first.
namespace WindowCommand {

// Posts the window-opening notification `name` with `userInfo` and returns the exit status.
int open(const QString &name, const QVariantMap &userInfo);

} // namespace WindowCommand
