// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/GlobalShortcutBackend.h"

// Where no global shortcut service exists (a Wayland session without the portal).
class GlobalShortcutNull : public GlobalShortcutBackend
{
    Q_OBJECT

public:
    static constexpr int unavailableStatus = -1;
    using GlobalShortcutBackend::GlobalShortcutBackend;
    QString name() const override { return QStringLiteral("none"); }
    int registerShortcut() override { return unavailableStatus; }
    void unregisterShortcut() override {}
};
