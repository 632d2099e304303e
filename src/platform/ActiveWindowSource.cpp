// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ActiveWindowSource.h"

#include "platform/ActiveWindowNullSource.h"
#include "platform/GnomeShellActiveWindowSource.h"
#include "platform/KWinActiveWindowSource.h"
#include "platform/Log.h"
#include "platform/SwayActiveWindowSource.h"
#include "platform/X11ActiveWindowSource.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

namespace {

bool isWaylandOf(const ActiveWindowSource::Session &session, QLatin1String desktop)
{
    return session.sessionType == QLatin1String("wayland") &&
           session.currentDesktop.split(QLatin1Char(':')).contains(desktop, Qt::CaseInsensitive);
}

bool isGnomeWayland(const ActiveWindowSource::Session &session)
{
    return isWaylandOf(session, QLatin1String("GNOME"));
}

bool isKdeWayland(const ActiveWindowSource::Session &session)
{
    return isWaylandOf(session, QLatin1String("KDE"));
}

bool serviceAnswers(const QString &name)
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(name);
}

} // namespace

ActiveWindowSource::Session ActiveWindowSource::Session::fromEnvironment()
{
    Session s{qEnvironmentVariable("XDG_SESSION_TYPE"), qEnvironmentVariable("XDG_CURRENT_DESKTOP"),
              qEnvironmentVariable("SWAYSOCK"), qEnvironmentVariable("I3SOCK"), qEnvironmentVariable("DISPLAY")};
    s.focusedWindowService = isGnomeWayland(s) && serviceAnswers(GnomeShellActiveWindowSource::serviceName());
    s.kwinService = isKdeWayland(s) && serviceAnswers(KWinActiveWindowSource::kwinService());
    return s;
}

QList<ActiveWindowSource::Backend> ActiveWindowSource::candidates(const Session &session)
{
    QList<Backend> list;
    // Sway's IPC sees Wayland and XWayland windows alike; i3 answers the same protocol.
    if (!session.swaySocket.isEmpty() || !session.i3Socket.isEmpty()) {
        list << Backend::swayIpc;
    }
    if (isGnomeWayland(session) && session.focusedWindowService) {
        list << Backend::gnomeShell;
    }
    if (isKdeWayland(session) && session.kwinService) {
        list << Backend::kwinScript;
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
    case Backend::gnomeShell:
        return QStringLiteral("GNOME Shell extension");
    case Backend::kwinScript:
        return QStringLiteral("KWin script");
    case Backend::x11:
        return QStringLiteral("X11");
    case Backend::none:
        break;
    }
    return QStringLiteral("none");
}

QString ActiveWindowSource::hint(const Session &session)
{
    if (isGnomeWayland(session) && !session.focusedWindowService) {
        return QStringLiteral("Front application under GNOME needs the Pictrove Shell extension: "
                              "gnome-extensions enable focused-window@pictrove.com (then log out and in)");
    }
    return {};
}

std::unique_ptr<ActiveWindowSource> ActiveWindowSource::create(QString *whyNull, QString *backend)
{
    const Session session = Session::fromEnvironment();
    if (const QString line = hint(session); !line.isEmpty()) {
        Log::line(line);
    }
    QStringList problems;
    for (const Backend b : candidates(session)) {
        QString error;
        std::unique_ptr<ActiveWindowSource> source;
        switch (b) {
        case Backend::swayIpc:
            source = SwayActiveWindowSource::open(
                !session.swaySocket.isEmpty() ? session.swaySocket : session.i3Socket, &error);
            break;
        case Backend::gnomeShell:
            source = GnomeShellActiveWindowSource::open(QDBusConnection::sessionBus(), &error);
            break;
        case Backend::kwinScript:
            source = KWinActiveWindowSource::open(QDBusConnection::sessionBus(),
                                                  KWinActiveWindowSource::installedScript(), &error);
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

void ActiveWindowSource::report(const ActiveWindow &window)
{
    if (m_last && m_last->sameApplication(window)) {
        return;
    }
    m_last = window;
    emit activated(window);
}

std::optional<ActiveWindow> ActiveWindowSource::lastKnown() const
{
    if (!m_last || m_last->isEmpty()) {
        return std::nullopt;
    }
    return m_last;
}
