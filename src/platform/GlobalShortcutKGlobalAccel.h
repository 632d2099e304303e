// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/GlobalShortcutBackend.h"

// KDE Plasma's kglobalaccel daemon over D-Bus: the shortcut then also shows, and can be
// changed, in the desktop's shortcut settings.
class GlobalShortcutKGlobalAccel : public GlobalShortcutBackend
{
    Q_OBJECT

public:
    static bool isAvailable();
    using GlobalShortcutBackend::GlobalShortcutBackend;
    QString name() const override { return QStringLiteral("kglobalaccel"); }
    int registerShortcut() override;
    void unregisterShortcut() override;

private slots:
    void onPressed(const QString &component, const QString &action, qlonglong timestamp);

private:
    bool m_connected = false;
};
