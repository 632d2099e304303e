// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/X11GlobalShortcut.h"

#ifdef PICTROVE_HAVE_XCB

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QSocketNotifier>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

constexpr uint16_t wanted = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT;
// Locks that must not matter: none, CapsLock, NumLock (Mod2), both.
constexpr uint16_t lockVariants[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

bool isOurPress(const xcb_generic_event_t *event)
{
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS) {
        return false;
    }
    const auto *key = reinterpret_cast<const xcb_key_press_event_t *>(event);
    const uint16_t relevant = key->state & (XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_1 | XCB_MOD_MASK_4);
    return key->detail == X11GlobalShortcut::keycodeA && relevant == wanted;
}

} // namespace

struct X11GlobalShortcut::Private : public QAbstractNativeEventFilter
{
    X11GlobalShortcut *owner = nullptr;
    xcb_connection_t *connection = nullptr;
    bool ownConnection = false;
    xcb_window_t root = 0;
    bool grabbed = false;
    bool filterInstalled = false;
    QSocketNotifier *notifier = nullptr;

    ~Private() override
    {
        if (filterInstalled && QCoreApplication::instance()) {
            QCoreApplication::instance()->removeNativeEventFilter(this);
        }
        if (ownConnection && connection) {
            xcb_disconnect(connection);
        }
    }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t" || !grabbed) {
            return false;
        }
        if (isOurPress(static_cast<xcb_generic_event_t *>(message))) {
            emit owner->pressed();
            return true;
        }
        return false;
    }

    void ungrab()
    {
        for (uint16_t locks : lockVariants) {
            xcb_ungrab_key(connection, keycodeA, root, uint16_t(wanted | locks));
        }
        xcb_flush(connection);
        grabbed = false;
    }
};

std::unique_ptr<X11GlobalShortcut> X11GlobalShortcut::open()
{
    auto d = std::make_unique<Private>();
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    int screenNumber = 0;
    if (x11 && x11->connection()) {
        d->connection = x11->connection();
    } else {
        d->connection = xcb_connect(nullptr, &screenNumber);
        d->ownConnection = true;
        if (!d->connection || xcb_connection_has_error(d->connection)) {
            return nullptr;
        }
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(d->connection));
    for (int i = 0; i < screenNumber && it.rem > 1; ++i) {
        xcb_screen_next(&it);
    }
    d->root = it.data->root;
    return std::unique_ptr<X11GlobalShortcut>(new X11GlobalShortcut(std::move(d)));
}

X11GlobalShortcut::X11GlobalShortcut(std::unique_ptr<Private> priv) : d(std::move(priv))
{
    d->owner = this;
    if (d->ownConnection) {
        d->notifier = new QSocketNotifier(xcb_get_file_descriptor(d->connection), QSocketNotifier::Read, this);
        connect(d->notifier, &QSocketNotifier::activated, this, &X11GlobalShortcut::readOwnEvents);
    } else {
        QCoreApplication::instance()->installNativeEventFilter(d.get());
        d->filterInstalled = true;
    }
}

X11GlobalShortcut::~X11GlobalShortcut()
{
    if (d->grabbed) {
        d->ungrab();
    }
}

int X11GlobalShortcut::registerShortcut()
{
    if (d->grabbed) {
        return 0;
    }
    for (uint16_t locks : lockVariants) {
        xcb_void_cookie_t cookie = xcb_grab_key_checked(d->connection, 1, d->root, uint16_t(wanted | locks), keycodeA,
                                                        XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t *error = xcb_request_check(d->connection, cookie)) {
            // BadAccess (10): another client holds the combination.
            const int status = -int(error->error_code);
            std::free(error);
            d->ungrab();
            return status;
        }
    }
    d->grabbed = true;
    return 0;
}

void X11GlobalShortcut::unregisterShortcut()
{
    if (d->grabbed) {
        d->ungrab();
    }
}

void X11GlobalShortcut::readOwnEvents()
{
    while (xcb_generic_event_t *event = xcb_poll_for_event(d->connection)) {
        const bool ours = d->grabbed && isOurPress(event);
        std::free(event);
        if (ours) {
            emit pressed();
        }
    }
    if (xcb_connection_has_error(d->connection)) {
        d->notifier->setEnabled(false);
    }
}

#else

struct X11GlobalShortcut::Private
{
};
std::unique_ptr<X11GlobalShortcut> X11GlobalShortcut::open() { return nullptr; }
X11GlobalShortcut::X11GlobalShortcut(std::unique_ptr<Private> priv) : d(std::move(priv)) {}
X11GlobalShortcut::~X11GlobalShortcut() = default;
int X11GlobalShortcut::registerShortcut() { return -1; }
void X11GlobalShortcut::unregisterShortcut() {}
void X11GlobalShortcut::readOwnEvents() {}

#endif
