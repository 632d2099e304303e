// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/GlobalShortcutBackend.h"

#include <memory>

// A passive grab of Control+Shift+A on the root window. The key is taken by position (the
// keycode of A on a US keyboard), with the CapsLock and NumLock variants grabbed too so the
// combination works whatever those locks say. Uses Qt's own X connection when Qt runs on xcb,
// else a connection of its own.
class X11GlobalShortcut : public GlobalShortcutBackend
{
    Q_OBJECT

public:
    static constexpr int keycodeA = 38; // evdev <AC01>

    // Null when no X server can be reached.
    static std::unique_ptr<X11GlobalShortcut> open();
    ~X11GlobalShortcut() override;

    QString name() const override { return QStringLiteral("x11"); }
    int registerShortcut() override;
    void unregisterShortcut() override;

private:
    struct Private;
    explicit X11GlobalShortcut(std::unique_ptr<Private> d);
    void readOwnEvents();

    std::unique_ptr<Private> d;
};
