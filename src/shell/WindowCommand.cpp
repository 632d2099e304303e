// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/WindowCommand.h"

#include "app/AppSettings.h"
#include "platform/NotificationCenter.h"
#include "platform/SingleInstance.h"
#include "shell/AppDelegate.h"

#include <QApplication>
#include <QWidget>

#include <cstdio>

namespace WindowCommand {

int open(const QString &name, const QVariantMap &userInfo)
{
    if (SingleInstance::postToRunning(name, userInfo)) {
        return 0;
    }
    // No Pictrove running: this process shows just the window, without the tray or the
    // capture pipeline, and ends with it.
    AppDelegate delegate(AppSettings::shared());
    delegate.registerObservers();
    NotificationCenter::defaultCenter().post(name, userInfo);
    QCoreApplication::processEvents();
    bool shown = false;
    for (const QWidget *w : QApplication::topLevelWidgets()) {
        shown = shown || w->isVisible();
    }
    if (!shown) {
        std::fputs("pictrove: the window could not be opened\n", stderr);
        return 1;
    }
    QApplication::setQuitOnLastWindowClosed(true);
    return QApplication::exec();
}

} // namespace WindowCommand
