// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ActiveWindowSource.h"

#include <QByteArray>
#include <QJsonObject>

#include <memory>

class QLocalSocket;

// Follows the focused window of Sway (or i3) over its IPC socket: a subscription to window and
// workspace events, the tree asked for when focus lands somewhere that may be no window.
class SwayActiveWindowSource : public ActiveWindowSource
{
    Q_OBJECT

public:
    // Null when nothing answers at socketPath; `error` then says why.
    static std::unique_ptr<SwayActiveWindowSource> open(const QString &socketPath, QString *error = nullptr);
    ~SwayActiveWindowSource() override;

    std::optional<ActiveWindow> current() override;

    // The window a tree node stands for: app_id for Wayland clients, WM_CLASS for XWayland
    // ones, and the pid. Empty for a node that is no window or tells nothing.
    static ActiveWindow windowOf(const QJsonObject &node);
    // The focused window in a GET_TREE answer; empty when focus is on no window.
    static ActiveWindow focusedIn(const QJsonObject &tree);

private:
    explicit SwayActiveWindowSource(QString socketPath, std::unique_ptr<QLocalSocket> events);
    void readEvents();
    void handleEvent(quint32 type, const QByteArray &payload);

    QString m_socketPath;
    std::unique_ptr<QLocalSocket> m_events;
    QByteArray m_buffer;
};
