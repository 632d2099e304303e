// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ActiveWindow.h"

#include <QObject>

#include <memory>
#include <optional>

// Tells which application's window is in front, and when another application comes to the
// front. Main thread only.
class ActiveWindowSource : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // The window in front now, or none when no window is.
    virtual std::optional<ActiveWindow> current() = 0;

    enum class Backend { swayIpc, gnomeShell, kwinScript, x11, none };

    // What the session tells about itself: the environment variables the choice reads.
    struct Session
    {
        QString sessionType;               // XDG_SESSION_TYPE
        QString currentDesktop;            // XDG_CURRENT_DESKTOP
        QString swaySocket;                // SWAYSOCK
        QString i3Socket;                  // I3SOCK
        QString display;                   // DISPLAY
        bool focusedWindowService = false; // Pictrove's GNOME Shell extension owns its bus name
        bool kwinService = false;          // KWin owns its bus name
        static Session fromEnvironment();
    };

    // The back ends to try for a session, best first; the last is always `none`.
    static QList<Backend> candidates(const Session &session);
    static QString backendName(Backend backend);
    // A line for the start-up log when the session could tell more with some help; else empty.
    static QString hint(const Session &session);

    // The first candidate that opens. `backend` names it for the start-up log; `whyNull` says
    // why nothing could follow the front window when the result is the null source.
    static std::unique_ptr<ActiveWindowSource> create(QString *whyNull = nullptr, QString *backend = nullptr);

signals:
    // Another application's window came to the front. An empty window means focus moved to
    // something whose application cannot be known.
    void activated(const ActiveWindow &window);

protected:
    // Emits `activated` unless the window is of the application reported last: a second window
    // of the application in front is no new activation, while focus on something that tells no
    // application is reported (as an empty window) so no stale name stays.
    void report(const ActiveWindow &window);
    // The last window reported, when it names an application.
    std::optional<ActiveWindow> lastKnown() const;

    std::optional<ActiveWindow> m_last; // the last window reported or read
};
