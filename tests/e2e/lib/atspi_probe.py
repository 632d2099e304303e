# SPDX-License-Identifier: GPL-3.0-or-later
# Reads and drives the running Pictrove through the accessibility bus, as a screen reader does,
# and from the keyboard (xdotool). Run with Debian's /usr/bin/python3 (pyatspi). Each command
# waits up to 10 s for what it looks for and exits 1 when it never appears.
#   unnamed WINDOW              prints the controls of WINDOW that have no accessible name
#   has WINDOW ROLE NAME        exits 0 when the window has such a control (role "control":
#                               any a person operates)
#   description WINDOW ROLE NAME [EXPECTED]  prints the accessible description of a control,
#                               or waits until it reads EXPECTED
#   text WINDOW ROLE NAME [EXPECTED]  prints the text of a text field, or waits until it
#                               reads EXPECTED
#   focus WINDOW ROLE NAME      gives a control the keyboard focus
#   press WINDOW ROLE NAME      presses a control (its first action)
#   checked WINDOW ROLE NAME yes|no  waits until the control is (yes) or is not (no) checked
#   shown WINDOW NAME           exits 0 when a control of that name is on screen
#   items WINDOW                prints the accessible name of every card of the grid
#   tab-to ROLE NAME            presses Tab until a control of ROLE named NAME (or one of its
#                               items) has the focus
#   menu KEY ITEM               presses KEY, prints the items of the popup menu it opens, walks
#                               down to ITEM with the arrow keys and chooses it with Return
# The last two follow focus and popup-menu events: a popup menu is not among the application's
# children, so it is found only through its events, as a screen reader finds it.
import subprocess
import sys
import threading
import time

import pyatspi

ROLES = {
    "button": (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON),
    "combo": (pyatspi.ROLE_COMBO_BOX,),
    "text": (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY),
    "label": (pyatspi.ROLE_LABEL, pyatspi.ROLE_STATIC),
    "list": (pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_BOX, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE),
    "switch": (pyatspi.ROLE_CHECK_BOX,),
    "tab": (pyatspi.ROLE_PAGE_TAB,),
}
# Controls a person operates: each needs a name to be heard.
CONTROLS = ROLES["button"] + ROLES["combo"] + ROLES["text"] + ROLES["list"] + (
    pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_SLIDER, pyatspi.ROLE_SPIN_BUTTON,
    pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TABLE_CELL)
ROLES["control"] = CONTROLS + ROLES["tab"]
MENUS = (pyatspi.ROLE_POPUP_MENU, pyatspi.ROLE_MENU)


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    try:
        children = list(node)
    except Exception:
        return
    for child in children:
        yield from walk(child, depth + 1)


def window(title):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and (app.name or "").lower().startswith("pictrove"):
            # A top-level window: a frame, or a filler for a plain widget.
            found = next((node for node in app if node is not None and node.name == title), None)
            if found is not None:
                return found
    return None


def find(root, role, name):
    for node in walk(root):
        try:
            if node.getRole() in ROLES[role] and node.name == name:
                return node
        except Exception:
            continue
    return None


def wait(probe):
    deadline = time.time() + 10
    while time.time() < deadline:
        try:
            found = probe()
        except Exception:
            found = None
        if found is not None:
            return found
        time.sleep(0.2)
    sys.exit(1)


def control(args):
    win = wait(lambda: window(args[0]))
    return wait(lambda: find(win, args[1], args[2]))


def unnamed(args):
    win = wait(lambda: window(args[0]))
    for node in walk(win):
        # A combo box's own drop-down list is Qt's and goes by the box.
        in_combo = node.parent is not None and node.parent.getRole() == pyatspi.ROLE_COMBO_BOX
        if node.getRole() in CONTROLS and not in_combo and not (node.name or "").strip():
            print(node.getRoleName())


def reads(args, value):
    """Prints value(control), first waiting until it is the EXPECTED of args when one is given."""
    node = control(args)
    if len(args) > 3:
        wait(lambda: node if value(node) == args[3] else None)
    print(value(node))


def focus(args):
    node = control(args)
    node.queryComponent().grabFocus()
    # A list hands the focus on to its current item.
    wait(lambda: next((n for n in walk(node) if n.getState().contains(pyatspi.STATE_FOCUSED)), None))


def checked(args):
    node = control(args)
    want = args[3] == "yes"
    wait(lambda: node if node.getState().contains(pyatspi.STATE_CHECKED) == want else None)


def shown(args):
    win = wait(lambda: window(args[0]))
    showing = lambda n: n.getState().contains(pyatspi.STATE_SHOWING)
    wait(lambda: next((n for n in walk(win) if n.getRole() in CONTROLS and n.name == args[1] and showing(n)), None))


def items(args):
    grid = control([args[0], "list", "Screenshots"])
    for card in wait(lambda: list(grid) or None):
        print(card.name)


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


def choose(heard, opener, item):
    heard.clear()
    key(opener)
    if not heard.wait_for(lambda: heard.menu is not None):
        print("no popup menu opened", file=sys.stderr)
        return False
    names = heard.menu
    print("\n".join(names))
    for _ in range(len(names) + 1):
        heard.focused = None
        key("Down")
        if not heard.wait_for(lambda: heard.focused is not None):
            return False
        if heard.focused[0] == pyatspi.ROLE_MENU_ITEM and heard.focused[1] == item:
            key("Return")
            return True
    print("no menu item " + item, file=sys.stderr)
    return False


def listen(drive, args):
    """Runs drive(heard, *args) beside the event loop that fills heard; exits 1 unless it succeeds."""
    heard = Heard()
    pyatspi.Registry.registerEventListener(heard.on_event, "object:state-changed:focused",
                                           "object:state-changed:showing")
    outcome = []

    def run():
        try:
            outcome.append(drive(heard, *args))
        finally:
            pyatspi.Registry.stop()

    threading.Timer(0.3, run).start()  # once the listener is registered
    pyatspi.Registry.start()
    sys.exit(0 if outcome and outcome[0] else 1)


COMMANDS = {
    "unnamed": unnamed,
    "has": control,
    "description": lambda args: reads(args, lambda node: node.description),
    "text": lambda args: reads(args, lambda node: node.queryText().getText(0, -1)),
    "focus": focus,
    "press": lambda args: control(args).queryAction().doAction(0),
    "checked": checked,
    "shown": shown,
    "items": items,
    "tab-to": lambda args: listen(tab_to, args),
    "menu": lambda args: listen(choose, args),
}

if __name__ == "__main__":
    if len(sys.argv) < 2 or sys.argv[1] not in COMMANDS:
        sys.exit("unknown command " + " ".join(sys.argv[1:2]))
    COMMANDS[sys.argv[1]](sys.argv[2:])
