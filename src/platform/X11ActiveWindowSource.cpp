// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/X11ActiveWindowSource.h"

#ifdef PICTROVE_HAVE_XCB

#include <QSocketNotifier>

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <cstdlib>

struct X11ActiveWindowSource::Private
{
    xcb_connection_t *connection = nullptr;
    xcb_ewmh_connection_t ewmh{};
    bool ewmhReady = false;
    xcb_window_t root = 0;
    xcb_atom_t gtkApplicationId = XCB_ATOM_NONE;
    xcb_atom_t kdeDesktopFile = XCB_ATOM_NONE;
    QSocketNotifier *notifier = nullptr;
    std::optional<ActiveWindow> last;

    ~Private()
    {
        if (ewmhReady) {
            xcb_ewmh_connection_wipe(&ewmh);
        }
        if (connection) {
            xcb_disconnect(connection);
        }
    }

    xcb_atom_t internAtom(const char *name)
    {
        xcb_intern_atom_reply_t *reply =
            xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return atom;
    }

    QByteArray property(xcb_window_t window, xcb_atom_t atom, xcb_atom_t type)
    {
        if (atom == XCB_ATOM_NONE) {
            return {};
        }
        xcb_get_property_reply_t *reply = xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, atom, type, 0, 1024), nullptr);
        QByteArray value;
        if (reply && reply->format == 8) {
            value = QByteArray(static_cast<const char *>(xcb_get_property_value(reply)),
                               xcb_get_property_value_length(reply));
        }
        std::free(reply);
        return value;
    }

    std::optional<ActiveWindow> readActive()
    {
        xcb_window_t window = 0;
        if (!xcb_ewmh_get_active_window_reply(&ewmh, xcb_ewmh_get_active_window(&ewmh, 0), &window, nullptr) ||
            window == 0) {
            return std::nullopt;
        }
        ActiveWindow w;
        // WM_CLASS is two NUL-terminated strings: instance, then class.
        const QList<QByteArray> parts = property(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING).split('\0');
        if (!parts.isEmpty()) {
            w.wmInstance = QString::fromLocal8Bit(parts.value(0));
            w.wmClass = QString::fromLocal8Bit(parts.value(1));
        }
        QString id = QString::fromUtf8(property(window, gtkApplicationId, ewmh.UTF8_STRING));
        if (id.isEmpty()) {
            id = QString::fromUtf8(property(window, kdeDesktopFile, ewmh.UTF8_STRING));
        }
        if (id.endsWith(QLatin1String(".desktop"))) {
            id.chop(8);
        }
        w.applicationId = id;
        uint32_t pid = 0;
        if (xcb_ewmh_get_wm_pid_reply(&ewmh, xcb_ewmh_get_wm_pid(&ewmh, window), &pid, nullptr)) {
            w.pid = pid;
        }
        return w;
    }
};

std::unique_ptr<X11ActiveWindowSource> X11ActiveWindowSource::open(QString *error)
{
    auto d = std::make_unique<Private>();
    int screenNumber = 0;
    d->connection = xcb_connect(nullptr, &screenNumber);
    if (!d->connection || xcb_connection_has_error(d->connection)) {
        if (error) {
            *error = QStringLiteral("cannot connect to the X server");
        }
        return nullptr;
    }
    xcb_intern_atom_cookie_t *cookies = xcb_ewmh_init_atoms(d->connection, &d->ewmh);
    if (!xcb_ewmh_init_atoms_replies(&d->ewmh, cookies, nullptr)) {
        if (error) {
            *error = QStringLiteral("the X server did not answer the window-manager atoms");
        }
        return nullptr;
    }
    d->ewmhReady = true;
    if (screenNumber < 0 || screenNumber >= d->ewmh.nb_screens) {
        screenNumber = 0;
    }
    d->root = d->ewmh.screens[screenNumber]->root;
    d->gtkApplicationId = d->internAtom("_GTK_APPLICATION_ID");
    d->kdeDesktopFile = d->internAtom("_KDE_NET_WM_DESKTOP_FILE");
    // The event mask is per client, so this does not disturb anybody else's on the root.
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(d->connection, d->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(d->connection);
    return std::unique_ptr<X11ActiveWindowSource>(new X11ActiveWindowSource(std::move(d)));
}

X11ActiveWindowSource::X11ActiveWindowSource(std::unique_ptr<Private> priv) : d(std::move(priv))
{
    d->notifier = new QSocketNotifier(xcb_get_file_descriptor(d->connection), QSocketNotifier::Read, this);
    connect(d->notifier, &QSocketNotifier::activated, this, &X11ActiveWindowSource::readEvents);
}

X11ActiveWindowSource::~X11ActiveWindowSource() = default;

std::optional<ActiveWindow> X11ActiveWindowSource::current()
{
    std::optional<ActiveWindow> w = d->readActive();
    if (w) {
        d->last = w;
    }
    return w;
}

void X11ActiveWindowSource::readEvents()
{
    bool activeChanged = false;
    while (xcb_generic_event_t *event = xcb_poll_for_event(d->connection)) {
        if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
            const auto *pn = reinterpret_cast<const xcb_property_notify_event_t *>(event);
            activeChanged = activeChanged || pn->atom == d->ewmh._NET_ACTIVE_WINDOW;
        }
        std::free(event);
    }
    if (xcb_connection_has_error(d->connection)) {
        // The X server went away; stop listening rather than spin on a dead socket.
        d->notifier->setEnabled(false);
        return;
    }
    if (!activeChanged) {
        return;
    }
    // Focus on no X window (a native Wayland window under XWayland, the desktop) is reported
    // as an empty window, so that a capture is not filed under the application before it;
    // a second window of the application in front is no new activation.
    const ActiveWindow w = d->readActive().value_or(ActiveWindow{});
    if (d->last && d->last->sameApplication(w)) {
        return;
    }
    d->last = w;
    emit activated(w);
}

#else

struct X11ActiveWindowSource::Private
{
};

std::unique_ptr<X11ActiveWindowSource> X11ActiveWindowSource::open(QString *error)
{
    if (error) {
        *error = QStringLiteral("built without X11 support");
    }
    return nullptr;
}

X11ActiveWindowSource::X11ActiveWindowSource(std::unique_ptr<Private> priv) : d(std::move(priv)) {}
X11ActiveWindowSource::~X11ActiveWindowSource() = default;
std::optional<ActiveWindow> X11ActiveWindowSource::current() { return std::nullopt; }
void X11ActiveWindowSource::readEvents() {}

#endif
