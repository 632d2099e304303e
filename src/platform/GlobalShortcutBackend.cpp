// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/GlobalShortcutBackend.h"

#include "platform/GlobalShortcutKGlobalAccel.h"
#include "platform/GlobalShortcutNull.h"
#include "platform/GlobalShortcutPortal.h"
#include "platform/X11GlobalShortcut.h"

std::unique_ptr<GlobalShortcutBackend> GlobalShortcutBackend::create()
{
    if (GlobalShortcutKGlobalAccel::isAvailable()) {
        return std::make_unique<GlobalShortcutKGlobalAccel>();
    }
    if (GlobalShortcutPortal::isAvailable()) {
        return std::make_unique<GlobalShortcutPortal>();
    }
    if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
        if (std::unique_ptr<X11GlobalShortcut> x11 = X11GlobalShortcut::open()) {
            return x11;
        }
    }
    return std::make_unique<GlobalShortcutNull>();
}
