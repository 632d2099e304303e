#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The preferences window as a screen reader reaches it, on a real X server with a window
# manager, a D-Bus session and the accessibility bus: `pictrove preferences` opens it in the
# running Pictrove, every tab is found by name and every control has a name, a switch flipped
# through AT-SPI is stored, `pictrove config` moves the control, and "Launch at login" writes
# and removes the autostart entry.
set -uo pipefail
PICTROVE=$(readlink -f "$1")
PY=/usr/bin/python3 # Debian's pyatspi belongs to the system Python

source "$(dirname "$0")/lib/sandbox.bash"
e2e_require Xvfb openbox dbus-run-session xdotool xdpyinfo
e2e_require_atspi
e2e_in_session "$PICTROVE"
e2e_sandbox preferences
fail() { echo "FAIL: $*"; echo "--- pictrove log"; cat "$WORK/pictrove.log" 2>/dev/null; exit 1; }

e2e_desktop 1280x800 200

mkdir -p "$HOME/Watched"
"$PICTROVE" config sourceFolder "$HOME/Watched" >/dev/null || fail "config sourceFolder"
"$PICTROVE" > "$WORK/pictrove.log" 2>&1 & APP=$!; PIDS+=($APP)
for _ in $(seq 100); do grep -q "Started monitoring" "$WORK/pictrove.log" 2>/dev/null && break; sleep 0.1; done
kill -0 $APP 2>/dev/null || fail "pictrove did not keep running"

timeout 20 "$PICTROVE" preferences > "$WORK/command.log" 2>&1 || fail "preferences: $(cat "$WORK/command.log")"
for _ in $(seq 100); do WIN=$(xdotool search --onlyvisible --name '^Pictrove Preferences$' 2>/dev/null | head -1); [ -n "$WIN" ] && break; sleep 0.1; done
[ -n "$WIN" ] || fail "pictrove preferences opened no window in the running instance"
eval "$(xdotool getwindowgeometry --shell "$WIN")"
[ "$WIDTH" -eq 500 ] && [ "$HEIGHT" -eq 520 ] || fail "the window is ${WIDTH}x${HEIGHT}, not 500x520"

# Everything else through the accessibility bus, as a screen reader user would.
"$PY" - "$PICTROVE" "$XDG_CONFIG_HOME/autostart/pictrove.desktop" "${PICTROVE_LOOK_DIR:-}" "$(readlink -f "$(dirname "$0")/lib")" <<'PYEOF' || fail "see above"
import os, subprocess, sys, time, pyatspi
pictrove, autostart, look, lib = sys.argv[1:5]
sys.path.insert(0, lib)
from atspi_probe import walk, window as titled

def check(ok, what):
    if not ok:
        print("FAIL:", what)
        sys.exit(1)

def wait(condition, seconds=10):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if condition():
            return True
        time.sleep(0.2)
    return condition()

def window():
    return titled("Pictrove Preferences")

def find(role, name):
    for node in walk(window()):
        if node.getRole() == role and node.name == name:
            return node
    return None

def config(*args):
    return subprocess.run([pictrove, "config", *args], capture_output=True, text=True, timeout=20).stdout.strip()

def checked(box):
    return box.getState().contains(pyatspi.STATE_CHECKED)

check(wait(lambda: window() is not None), "the window is not on the accessibility bus")
CONTROLS = {pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_RADIO_BUTTON,
            pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
            pyatspi.ROLE_SLIDER, pyatspi.ROLE_PAGE_TAB}
def showing(node):
    return node is not None and node.getState().contains(pyatspi.STATE_SHOWING)

# Each tab by its name, with a control of its own coming into view.
for tab, own in [("General", "Launch at login"), ("Tags", "Add"), ("Privacy", "Faces"),
                 ("Storage", "Skip duplicate captures"), ("About", "Read the manual")]:
    page = find(pyatspi.ROLE_PAGE_TAB, tab)
    check(page is not None, "no tab named " + tab)
    page.queryAction().doAction(0)
    check(wait(lambda: any(showing(n) and n.name == own for n in walk(window()) if n.getRole() in CONTROLS)),
          "%s did not bring %s into view" % (tab, own))
    time.sleep(0.3)
    shown = [n for n in walk(window()) if n.getRole() in CONTROLS and n.getState().contains(pyatspi.STATE_SHOWING)]
    check(len(shown) > 5, "%s shows only %d controls" % (tab, len(shown)))
    nameless = [n.getRoleName() for n in shown if not n.name.strip()]
    check(not nameless, "controls without a name on %s: %s" % (tab, nameless))
    if look:
        subprocess.run(["import", "-window", "root", os.path.join(look, "e2e-preferences-%s.png" % tab.lower())])

find(pyatspi.ROLE_PAGE_TAB, "General").queryAction().doAction(0)

# A switch flipped by the user is stored at once.
box = find(pyatspi.ROLE_CHECK_BOX, "Show floating thumbnail preview")
check(box is not None and checked(box), "Show floating thumbnail preview is not shown on")
box.queryAction().doAction(0)
check(wait(lambda: config("showFloatingThumbnail") == "false"), "the switch was not stored: " + config("showFloatingThumbnail"))

# Another process's write moves the control.
box = find(pyatspi.ROLE_CHECK_BOX, "Show notifications")
check(box is not None and checked(box), "Show notifications is not shown on")
config("showNotification", "false")
check(wait(lambda: not checked(box), 20), "Show notifications did not follow pictrove config")

# Launch at login is the autostart entry, nothing else.
box = find(pyatspi.ROLE_CHECK_BOX, "Launch at login")
check(box is not None and not checked(box), "Launch at login is shown on without an entry")
box.queryAction().doAction(0)
check(wait(lambda: os.path.isfile(autostart)), "no autostart entry after switching Launch at login on")
check(wait(lambda: checked(box)), "Launch at login is not shown on")
box.queryAction().doAction(0)
check(wait(lambda: not os.path.exists(autostart)), "the autostart entry stayed after switching it off")
PYEOF

kill -0 $APP 2>/dev/null || fail "pictrove ended"
echo "PASS"
