// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ActiveWindowSource.h"

#include <QDBusConnection>

class QDBusServiceWatcher;

// Follows the focused window under GNOME Shell through Pictrove's Shell extension, which owns
// com.pictrove.FocusedWindow on the session bus: one Get() at start, then FocusChanged.
class GnomeShellActiveWindowSource : public ActiveWindowSource
{
    Q_OBJECT

public:
    static QString serviceName();
    // Null when the extension does not answer on bus; `error` then says why.
    static std::unique_ptr<GnomeShellActiveWindowSource> open(const QDBusConnection &bus, QString *error = nullptr);

    std::optional<ActiveWindow> current() override;

    // The window the extension describes; empty when neither app id nor WM class is known.
    static ActiveWindow windowOf(const QString &appId, const QString &wmClass, uint pid);

private:
    explicit GnomeShellActiveWindowSource(const QDBusConnection &bus);

private slots:
    void focusChanged(const QString &appId, const QString &wmClass, uint pid);

private:
    QDBusConnection m_bus;
    QDBusServiceWatcher *m_watcher = nullptr;
};
