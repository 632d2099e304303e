// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>
#include <memory>

class GlobalShortcutBackend;

// The one system-wide shortcut, Control+Shift+A, that opens the newest capture in the editor.
// Each press calls onAnnotateLatest once, as its own step on the main thread. Main thread only.
class HotkeyManager : public QObject
{
    Q_OBJECT

public:
    using BackendFactory = std::function<std::unique_ptr<GlobalShortcutBackend>()>;

    static HotkeyManager &shared();
    explicit HotkeyManager(BackendFactory factory = {}, QObject *parent = nullptr);
    ~HotkeyManager() override;

    std::function<void()> onAnnotateLatest;

    // Does nothing while registered. On failure logs the back end's status; a later call tries again.
    void registerHotkey();
    void unregisterHotkey();

    bool isRegistered() const { return m_registered; }
    bool hasHandler() const { return m_handler != nullptr; }

private:
    void pressed();

    BackendFactory m_factory;
    std::unique_ptr<GlobalShortcutBackend> m_handler; // the installed press handler
    bool m_registered = false;
};
