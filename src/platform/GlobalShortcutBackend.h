// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <memory>

// One system-wide key combination, Control+Shift+A (by the position of A on a US keyboard),
// through whatever the session offers. Main thread only.
class GlobalShortcutBackend : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual QString name() const = 0;
    // 0 when the combination is now ours; otherwise the service's negative status.
    virtual int registerShortcut() = 0;
    virtual void unregisterShortcut() = 0;

    // KDE's global shortcut service where it runs, else an X11 key grab where there is a
    // display, else a back end that always fails.
    static std::unique_ptr<GlobalShortcutBackend> create();

signals:
    void pressed();
    // A registration that reported success was refused later (a back end that asks the user).
    void registrationFailed(int status);
};
