#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The tag dialog as a person with a screen reader uses it, on a real X server with a window
# manager, a D-Bus session and the accessibility bus: with the floating thumbnail off a
# capture opens "Tag Screenshot", typing goes to its search field, Return creates the tag,
# Done (pressed through AT-SPI) writes the file's tags, the index and the recent list.
# `pictrove tag --dialog FILE` opens it in the running instance.
set -uo pipefail
PICTROVE=$(readlink -f "$1")
PY=/usr/bin/python3 # Debian's pyatspi belongs to the system Python

source "$(dirname "$0")/lib/sandbox.bash"
e2e_require Xvfb openbox dbus-run-session xdotool xdpyinfo getfattr convert
e2e_require_atspi
e2e_in_session "$PICTROVE"
e2e_sandbox tagdialog
fail() { echo "FAIL: $*"; echo "--- pictrove log"; cat "$WORK/pictrove.log" 2>/dev/null; exit 1; }

e2e_desktop 1280x800 200

# Finds a control of the running Pictrove by role and accessible name and presses it, or
# (with "exists") only reports whether it is there. Waits up to 10 s for it to appear.
atspi() {
  "$PY" - "$@" <<'PYEOF'
import sys, time, pyatspi
action, role, name = sys.argv[1], sys.argv[2], sys.argv[3]
roles = {"button": (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX),
         "dialog": (pyatspi.ROLE_DIALOG,)}
def find(node, depth=0):
    if node is None or depth > 30:
        return None
    try:
        if node.getRole() in roles[role] and node.name == name:
            return node
        for child in node:
            found = find(child, depth + 1)
            if found is not None:
                return found
    except Exception:
        return None
    return None
deadline = time.time() + 10
while time.time() < deadline:
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name.lower().startswith("pictrove"):
            node = find(app)
            if node is not None:
                if action == "press":
                    node.queryAction().doAction(0)
                sys.exit(0)
    time.sleep(0.2)
sys.exit(1)
PYEOF
}

WATCHED=$HOME/Watched
LIBRARY=$HOME/Library
mkdir -p "$WATCHED"
for kv in "sourceFolder $WATCHED" "destinationFolder $LIBRARY" "showFloatingThumbnail false" \
          "scanOnCapture false" "copyToClipboardOnCapture false" "showNotification false"; do
  # shellcheck disable=SC2086
  "$PICTROVE" config $kv >/dev/null || fail "config $kv"
done

"$PICTROVE" > "$WORK/pictrove.log" 2>&1 & APP=$!; PIDS+=($APP)
for _ in $(seq 100); do grep -q "Started monitoring" "$WORK/pictrove.log" 2>/dev/null && break; sleep 0.1; done
kill -0 $APP 2>/dev/null || fail "pictrove did not keep running"

convert -size 2560x1600 xc:'#3070c0' "$WORK/shot.png"
cp "$WORK/shot.png" "$WATCHED/.tmp-shot.png" && mv "$WATCHED/.tmp-shot.png" "$WATCHED/Screenshot from 2026-01-02 10-11-12.png"
for _ in $(seq 100); do WIN=$(xdotool search --onlyvisible --name '^Tag Screenshot$' 2>/dev/null | head -1); [ -n "$WIN" ] && break; sleep 0.1; done
[ -n "$WIN" ] || fail "the capture did not open Tag Screenshot"
FILED=$(find "$LIBRARY" -name 'screenshot_*.png' | head -1)
[ -n "$FILED" ] || fail "the capture was not filed"
eval "$(xdotool getwindowgeometry --shell "$WIN")"
[ "$WIDTH" -eq 400 ] && [ "$HEIGHT" -eq 520 ] || fail "the dialog is ${WIDTH}x${HEIGHT}, not 400x520"
atspi exists dialog "Tag Screenshot" || fail "the dialog is not on the accessibility bus"

# The dialog has the keyboard: the user types at once.
for _ in $(seq 50); do [ "$(xdotool getactivewindow 2>/dev/null)" = "$WIN" ] && break; sleep 0.1; done
[ "$(xdotool getactivewindow 2>/dev/null)" = "$WIN" ] || fail "the dialog did not take the focus"
xdotool type --delay 30 "  Invoices "
xdotool key Return
atspi exists button "Remove Invoices" || fail "Return did not apply Invoices"
[ -n "${PICTROVE_LOOK_DIR:-}" ] && import -window root "$PICTROVE_LOOK_DIR/e2e-tag-dialog.png" 2>/dev/null
[ -z "$(getfattr --only-values -n user.xdg.tags "$FILED" 2>/dev/null)" ] || fail "tags written before Done"
atspi press button "Done" || fail "no Done button"
for _ in $(seq 50); do xdotool search --onlyvisible --name '^Tag Screenshot$' >/dev/null 2>&1 || break; sleep 0.1; done
xdotool search --onlyvisible --name '^Tag Screenshot$' >/dev/null 2>&1 && fail "Done did not close the dialog"

[ "$(getfattr --only-values -n user.xdg.tags "$FILED" 2>/dev/null)" = "Invoices" ] || fail "file tags: $(getfattr -d "$FILED")"
INDEX=$XDG_DATA_HOME/Pictrove/index.json
for _ in $(seq 50); do grep -q '"Invoices"' "$INDEX" 2>/dev/null && break; sleep 0.1; done
grep -q '"Invoices"' "$INDEX" || fail "the index entry does not hold Invoices"
"$PICTROVE" search --tag Invoices "" 2>&1 | grep -qF "$FILED" || fail "search --tag Invoices does not list the file"
"$PY" - "$XDG_CONFIG_HOME/Pictrove/Pictrove.conf" <<'PYEOF' || fail "Invoices does not head the recent list"
import sys, re
# QSettings keeps the JSON bytes escaped inside @ByteArray(...): take the first name.
text = open(sys.argv[1], encoding="utf-8").read()
m = re.search(r'^recentTags=.*?name\\*"\s*:\s*\\*"([^"\\]*)', text, re.M)
sys.exit(0 if m and m.group(1) == "Invoices" else 1)
PYEOF

# From the command line, in the running instance; Escape is Skip and writes nothing.
timeout 20 "$PICTROVE" tag --dialog "$FILED" > "$WORK/command.log" 2>&1 || fail "tag --dialog: $(cat "$WORK/command.log")"
for _ in $(seq 100); do WIN=$(xdotool search --onlyvisible --name '^Tag Screenshot$' 2>/dev/null | head -1); [ -n "$WIN" ] && break; sleep 0.1; done
[ -n "$WIN" ] || fail "tag --dialog did not open the dialog in the running instance"
atspi exists button "Invoices" || fail "the recent tag is not offered"
for _ in $(seq 50); do [ "$(xdotool getactivewindow 2>/dev/null)" = "$WIN" ] && break; sleep 0.1; done
xdotool key Escape
for _ in $(seq 50); do xdotool search --onlyvisible --name '^Tag Screenshot$' >/dev/null 2>&1 || break; sleep 0.1; done
xdotool search --onlyvisible --name '^Tag Screenshot$' >/dev/null 2>&1 && fail "Escape did not close the dialog"
[ "$(getfattr --only-values -n user.xdg.tags "$FILED" 2>/dev/null)" = "Invoices" ] || fail "Skip changed the file's tags"
"$PICTROVE" tag --dialog "$WORK/missing.png" 2>/dev/null && fail "tag --dialog accepted a missing file"
echo "not a picture" > "$WORK/notes.png"
"$PICTROVE" tag --dialog "$WORK/notes.png" 2>/dev/null && fail "tag --dialog accepted a file that is not an image"
xdotool search --onlyvisible --name '^Tag Screenshot$' >/dev/null 2>&1 && fail "a bad file opened the dialog"
echo "PASS"
