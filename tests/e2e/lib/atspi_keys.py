# SPDX-License-Identifier: GPL-3.0-or-later
# Drives the running Pictrove from the keyboard (xdotool) and follows what a screen reader hears
# on the accessibility bus: focus and popup-menu events. A popup menu is not among the
# application's children, so it is found only through its events, as a screen reader finds it.
# Run with Debian's /usr/bin/python3 (pyatspi). Exits 1 when the awaited event never comes.
#   tab-to ROLE NAME      presses Tab until a control of ROLE named NAME (or one of its items)
#                         has the focus
#   menu KEY ITEM         presses KEY, prints the items of the popup menu it opens, walks down to
#                         ITEM with the arrow keys and chooses it with Return
import subprocess
import sys
import threading

import pyatspi

ROLES = {
    "list": (pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_BOX, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE),
    "text": (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY),
}
MENUS = (pyatspi.ROLE_POPUP_MENU, pyatspi.ROLE_MENU)


class Heard:
    """The latest focus and popup-menu events, handed from the event loop to the driver."""

    def __init__(self):
        self.cond = threading.Condition()
        self.focused = None  # (role, name, parent role, parent name)
        self.menu = None  # names of the items of the menu last shown

    def on_event(self, event):
        try:
            source = event.source
            role = source.getRole()
            if event.type.startswith("object:state-changed:focused") and event.detail1:
                parent = source.parent
                focus = (role, source.name, parent.getRole() if parent else None, parent.name if parent else None)
                with self.cond:
                    self.focused = focus
                    self.cond.notify_all()
            elif event.type.startswith("object:state-changed:showing") and event.detail1 and role in MENUS:
                items = [child.name for child in source if child is not None and child.name]
                with self.cond:
                    self.menu = items
                    self.cond.notify_all()
        except Exception:
            pass

    def wait_for(self, test, timeout=10):
        with self.cond:
            return self.cond.wait_for(test, timeout)

    def clear(self):
        with self.cond:
            self.focused = None
            self.menu = None


def key(name):
    subprocess.run(["xdotool", "key", name], check=True)


def tab_to(heard, role, name):
    roles = ROLES[role]
    for _ in range(12):
        heard.clear()
        key("Tab")
        if not heard.wait_for(lambda: heard.focused is not None):
            return False
        r, n, pr, pn = heard.focused
        if (r in roles and n == name) or (pr in roles and pn == name):
            return True
    return False


def menu(heard, opener, item):
    heard.clear()
    key(opener)
    if not heard.wait_for(lambda: heard.menu is not None):
        print("no popup menu opened", file=sys.stderr)
        return False
    items = heard.menu
    print("\n".join(items))
    for _ in range(len(items) + 1):
        heard.focused = None
        key("Down")
        if not heard.wait_for(lambda: heard.focused is not None):
            return False
        if heard.focused[0] == pyatspi.ROLE_MENU_ITEM and heard.focused[1] == item:
            key("Return")
            return True
    print("no menu item " + item, file=sys.stderr)
    return False


def main(command, args):
    heard = Heard()
    pyatspi.Registry.registerEventListener(heard.on_event, "object:state-changed:focused",
                                           "object:state-changed:showing")
    outcome = []

    def drive():
        try:
            if command == "tab-to":
                outcome.append(tab_to(heard, args[0], args[1]))
            elif command == "menu":
                outcome.append(menu(heard, args[0], args[1]))
            else:
                print("unknown command " + command, file=sys.stderr)
        finally:
            pyatspi.Registry.stop()

    threading.Timer(0.3, drive).start()  # once the listener is registered
    pyatspi.Registry.start()
    sys.exit(0 if outcome and outcome[0] else 1)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:])
