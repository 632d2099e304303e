// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/X11Compositing.h"

#include <QGuiApplication>

#ifdef PICTROVE_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#endif

namespace X11Compositing {

bool isActive()
{
#ifdef PICTROVE_HAVE_XCB
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) {
        return false;
    }
    xcb_connection_t *c = x11->connection();
    const char *name = "_NET_WM_CM_S0";
    xcb_intern_atom_reply_t *atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(std::strlen(name)), name), nullptr);
    if (!atom) {
        return false;
    }
    xcb_get_selection_owner_reply_t *owner = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr);
    const bool active = owner && owner->owner != XCB_NONE;
    std::free(owner);
    std::free(atom);
    return active;
#else
    return false;
#endif
}

} // namespace X11Compositing
