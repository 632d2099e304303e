// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ActiveWindowSource.h"

#include "platform/ActiveWindowNullSource.h"
#include "platform/SwayActiveWindowSource.h"
#include "platform/X11ActiveWindowSource.h"

ActiveWindowSource::Session ActiveWindowSource::Session::fromEnvironment()
{
    return {qEnvironmentVariable("XDG_SESSION_TYPE"), qEnvironmentVariable("XDG_CURRENT_DESKTOP"),
            qEnvironmentVariable("SWAYSOCK"), qEnvironmentVariable("I3SOCK"), qEnvironmentVariable("DISPLAY")};
}

QList<ActiveWindowSource::Backend> ActiveWindowSource::candidates(const Session &session)
{
    QList<Backend> list;
    // Sway's IPC sees Wayland and XWayland windows alike; i3 answers the same protocol.
    if (!session.swaySocket.isEmpty() || !session.i3Socket.isEmpty()) {
        list << Backend::swayIpc;
    }
    // Under Wayland XWayland's root window still carries _NET_ACTIVE_WINDOW for X clients; a
    // native window in front reads as no window, which names the capture "Unknown".
    if (!session.display.isEmpty()) {
        list << Backend::x11;
    }
    list << Backend::none;
    return list;
}

QString ActiveWindowSource::backendName(Backend backend)
{
    switch (backend) {
    case Backend::swayIpc:
        return QStringLiteral("Sway IPC");
    case Backend::x11:
        return QStringLiteral("X11");
    case Backend::none:
        break;
    }
    return QStringLiteral("none");
}

std::unique_ptr<ActiveWindowSource> ActiveWindowSource::create(QString *whyNull, QString *backend)
{
    const Session session = Session::fromEnvironment();
    QStringList problems;
    for (const Backend b : candidates(session)) {
        QString error;
        std::unique_ptr<ActiveWindowSource> source;
        switch (b) {
        case Backend::swayIpc:
            source = SwayActiveWindowSource::open(
                !session.swaySocket.isEmpty() ? session.swaySocket : session.i3Socket, &error);
            break;
        case Backend::x11:
            source = X11ActiveWindowSource::open(&error);
            break;
        case Backend::none:
            if (problems.isEmpty()) {
                problems << QStringLiteral("no X11 display and no Sway or i3 socket");
            }
            if (whyNull) {
                *whyNull = problems.join(QStringLiteral("; "));
            }
            source = std::make_unique<ActiveWindowNullSource>();
            break;
        }
        if (source) {
            if (backend) {
                *backend = backendName(b);
            }
            return source;
        }
        problems << error;
    }
    return std::make_unique<ActiveWindowNullSource>(); // not reached: `none` always opens
}
