# SPDX-License-Identifier: GPL-3.0-or-later
# Reads and drives the running Pictrove through the accessibility bus, as a screen reader does.
# Run with Debian's /usr/bin/python3 (pyatspi). Each command waits up to 10 s for what it
# looks for and exits 1 when it never appears.
#   unnamed WINDOW              prints the controls of WINDOW that have no accessible name
#   description WINDOW ROLE NAME [EXPECTED]  prints the accessible description of a control,
#                               or waits until it reads EXPECTED
#   text WINDOW ROLE NAME       prints the text of a text field
#   focus WINDOW ROLE NAME      gives a control the keyboard focus
#   items WINDOW                prints the accessible name of every card of the grid
#   menu-item NAME              exits 0 when a menu item NAME is on screen
import sys
import time

import pyatspi

ROLES = {
    "button": (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON),
    "combo": (pyatspi.ROLE_COMBO_BOX,),
    "text": (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY),
    "label": (pyatspi.ROLE_LABEL, pyatspi.ROLE_STATIC),
    "list": (pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_BOX, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE),
    "menu-item": (pyatspi.ROLE_MENU_ITEM,),
    "switch": (pyatspi.ROLE_CHECK_BOX,),
    "tab": (pyatspi.ROLE_PAGE_TAB,),
}
# Controls a person operates: each needs a name to be heard.
CONTROLS = ROLES["button"] + ROLES["combo"] + ROLES["text"] + ROLES["list"] + (
    pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_SLIDER, pyatspi.ROLE_SPIN_BUTTON,
    pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TABLE_CELL)
ROLES["control"] = CONTROLS + ROLES["tab"]


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


def app_nodes():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and (app.name or "").lower().startswith("pictrove"):
            yield app


def window(title):
    for app in app_nodes():
        for node in app:
            # A top-level window: a frame, or a filler for a plain widget.
            if node is not None and node.name == title:
                return node
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


def main(command, args):
    if command in ACTIONS:
        ACTIONS[command](args)
    elif command == "unnamed":
        win = wait(lambda: window(args[0]))
        for node in walk(win):
            # A combo box's own drop-down list is Qt's and goes by the box.
            in_combo = node.parent is not None and node.parent.getRole() == pyatspi.ROLE_COMBO_BOX
            if node.getRole() in CONTROLS and not in_combo and not (node.name or "").strip():
                print(node.getRoleName())
    elif command == "description":
        node = control(args)
        if len(args) > 3:
            node = wait(lambda: node if node.description == args[3] else None)
        print(node.description)
    elif command == "text":
        print(control(args).queryText().getText(0, -1))
    elif command == "focus":
        node = control(args)
        node.queryComponent().grabFocus()
        # A list hands the focus on to its current item.
        wait(lambda: next((n for n in walk(node) if n.getState().contains(pyatspi.STATE_FOCUSED)), None))
    elif command == "items":
        win = wait(lambda: window(args[0]))
        grid = wait(lambda: find(win, "list", "Screenshots"))
        for card in wait(lambda: list(grid) or None):
            print(card.name)
    elif command == "menu-item":
        wait(lambda: next((n for app in app_nodes() for n in [find(app, "menu-item", args[0])] if n), None))
    else:
        sys.exit("unknown command " + command)


# More commands, each waiting as the others do:
#   window TITLE                exits 0 when the window is on the accessibility bus
#   has WINDOW ROLE NAME        exits 0 when the window has such a control (role "control":
#                               any a person operates)
#   shown WINDOW NAME           exits 0 when a control of that name is on screen
#   press WINDOW ROLE NAME      presses a control (its first action)
#   checked WINDOW ROLE NAME yes|no  waits until the control is (yes) or is not (no) checked
def shown(args):
    win = wait(lambda: window(args[0]))
    showing = lambda n: n.getState().contains(pyatspi.STATE_SHOWING)
    wait(lambda: next((n for n in walk(win) if n.getRole() in CONTROLS and n.name == args[1] and showing(n)), None))


def checked(args):
    node = control(args)
    want = args[3] == "yes"
    wait(lambda: node if node.getState().contains(pyatspi.STATE_CHECKED) == want else None)


ACTIONS = {
    "window": lambda args: wait(lambda: window(args[0])),
    "has": control,
    "shown": shown,
    "press": lambda args: control(args).queryAction().doAction(0),
    "checked": checked,
}


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:])
