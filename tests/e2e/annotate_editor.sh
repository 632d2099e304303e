#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The annotation editor as a person and a screen reader use it: a capture filed while xterm
# is in front, the hotkey opening the editor, the Rectangle tool pressed over AT-SPI, a drag,
# Control+Return; the copy is written beside the capture and shown in the file manager.
set -uo pipefail
PICTROVE=$(readlink -f "$1")
PY=/usr/bin/python3 # Debian's pyatspi and dbus-python belong to the system interpreter

source "$(dirname "$0")/lib/sandbox.bash"
e2e_require Xvfb openbox dbus-run-session xterm xdotool xwininfo convert compare
e2e_require_atspi dbus gi
e2e_in_session "$PICTROVE"
e2e_sandbox annotate
export GTK_A11Y=
fail() { echo "FAIL: $*"; echo "--- pictrove log"; cat "$WORK/pictrove.log" 2>/dev/null; echo "--- file manager"; cat "$WORK/showitems.log" 2>/dev/null; exit 1; }

e2e_desktop 1280x900 300

# A stand-in file manager that records what it is asked to show.
cat > "$WORK/filemanager.py" <<'PYEOF'
import sys
import dbus, dbus.service, dbus.mainloop.glib
from gi.repository import GLib

class FileManager(dbus.service.Object):
    @dbus.service.method("org.freedesktop.FileManager1", in_signature="ass", out_signature="")
    def ShowItems(self, uris, startup_id):
        with open(sys.argv[1], "a") as log:
            log.write("\n".join(uris) + "\n")

dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
name = dbus.service.BusName("org.freedesktop.FileManager1", bus)
FileManager(bus, "/org/freedesktop/FileManager1")
GLib.MainLoop().run()
PYEOF
"$PY" "$WORK/filemanager.py" "$WORK/showitems.log" & PIDS+=($!)

WATCHED=$HOME/Watched
LIBRARY=$HOME/Library
mkdir -p "$WATCHED"
for kv in "sourceFolder $WATCHED" "destinationFolder $LIBRARY" "scanOnCapture false" "showFloatingThumbnail true"; do
  "$PICTROVE" config $kv >/dev/null || fail "config $kv"
done

# Bad input opens nothing.
"$PICTROVE" annotate "$WORK/missing.png" 2>"$WORK/err.log" && fail "a missing image was accepted"
grep -q "missing.png" "$WORK/err.log" || fail "no error for a missing image"
echo "not a picture" > "$WORK/bad.png"
"$PICTROVE" annotate "$WORK/bad.png" 2>"$WORK/err.log" && fail "an undecodable image was accepted"

"$PICTROVE" > "$WORK/pictrove.log" 2>&1 & APP=$!; PIDS+=($APP)
for _ in $(seq 100); do grep -q "Started monitoring" "$WORK/pictrove.log" 2>/dev/null && break; sleep 0.1; done
kill -0 $APP 2>/dev/null || fail "pictrove did not keep running"

xterm -title e2e-xterm & PIDS+=($!)
for _ in $(seq 50); do WID=$(xdotool search --name e2e-xterm 2>/dev/null | head -1); [ -n "$WID" ] && break; sleep 0.1; done
[ -n "$WID" ] || fail "xterm did not start"
xdotool windowactivate --sync "$WID"
sleep 0.5
convert -size 1200x800 xc:'#f0f0f0' -fill '#3070c0' -draw 'rectangle 100,100 500,300' "$WORK/shot.png"
cp "$WORK/shot.png" "$WATCHED/.tmp-shot.png" && mv "$WATCHED/.tmp-shot.png" "$WATCHED/Screenshot from 2026-01-02 10-11-12.png"
for _ in $(seq 300); do FILED=$(find "$LIBRARY/XTerm" -name 'screenshot_*.png' 2>/dev/null | head -1); [ -n "$FILED" ] && break; sleep 0.1; done
[ -n "$FILED" ] || fail "not filed under XTerm"
BEFORE=$(sha256sum < "$FILED")

xdotool windowactivate --sync "$WID"
xdotool key ctrl+shift+a
TITLE="Annotate — $(basename "$FILED")"
for _ in $(seq 100); do EDITOR=$(xdotool search --onlyvisible --name "^$TITLE\$" 2>/dev/null | head -1); [ -n "$EDITOR" ] && break; sleep 0.1; done
[ -n "$EDITOR" ] || fail "the hotkey did not open \"$TITLE\""
sleep 1
eval "$(xdotool getwindowgeometry --shell "$EDITOR")"
[ "$WIDTH" = 960 ] && [ "$HEIGHT" = 720 ] || fail "editor is ${WIDTH}x${HEIGHT}, not 960x720"

# The toolbar through the accessibility bus, as a screen reader reaches it.
cat > "$WORK/atspi.py" <<'PYEOF'
import sys, time
import pyatspi

def find(node, pred, depth=0):
    if node is None or depth > 40:
        return None
    try:
        if pred(node):
            return node
        for child in node:
            hit = find(child, pred, depth + 1)
            if hit is not None:
                return hit
    except Exception:
        return None
    return None

def app():
    for _ in range(100):
        desktop = pyatspi.Registry.getDesktop(0)
        for a in desktop:
            if a is not None and a.name.lower() == "pictrove":
                return a
        time.sleep(0.2)
    sys.exit("pictrove is not on the accessibility bus")

what = sys.argv[1]
root = app()
if what == "press":
    button = None
    for _ in range(50):
        button = find(root, lambda n: n.name == sys.argv[2] and n.getRole() in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX))
        if button is not None:
            break
        time.sleep(0.2)
    if button is None:
        sys.exit("no button named " + sys.argv[2])
    button.queryAction().doAction(0)
elif what == "status":
    label = find(root, lambda n: n.getRole() == pyatspi.ROLE_LABEL and n.name and "annotat" in n.name)
    print(label.name if label is not None else "")
PYEOF
[ "$("$PY" "$WORK/atspi.py" status)" = "Draw on the screenshot to annotate" ] || fail "status before drawing: $("$PY" "$WORK/atspi.py" status)"
"$PY" "$WORK/atspi.py" press Rectangle || fail "Rectangle could not be pressed over AT-SPI"
sleep 0.5

# Drag inside the canvas (client coordinates: below the toolbar, above the bottom bar).
X0=$((X + 300)); Y0=$((Y + 250)); X1=$((X + 600)); Y1=$((Y + 450))
xdotool mousemove $X0 $Y0 mousedown 1
for i in 1 2 3 4 5; do xdotool mousemove $((X0 + i * 60)) $((Y0 + i * 40)); sleep 0.05; done
xdotool mouseup 1
sleep 0.5
[ "$("$PY" "$WORK/atspi.py" status)" = "1 annotation" ] || fail "status after the drag: $("$PY" "$WORK/atspi.py" status)"
[ -n "${PICTROVE_LOOK_DIR:-}" ] && import -window root "$PICTROVE_LOOK_DIR/e2e-editor.png" 2>/dev/null

xdotool key ctrl+Return
COPY="${FILED%.png}_annotated.png"
for _ in $(seq 100); do [ -s "$COPY" ] && break; sleep 0.1; done
[ -s "$COPY" ] || fail "no annotated copy beside the capture: $(ls "$(dirname "$FILED")")"
for _ in $(seq 50); do xdotool search --onlyvisible --name "^$TITLE\$" >/dev/null 2>&1 || break; sleep 0.1; done
xdotool search --onlyvisible --name "^$TITLE\$" >/dev/null 2>&1 && fail "the editor stayed open after saving"
[ "$(sha256sum < "$FILED")" = "$BEFORE" ] || fail "the capture itself changed"

# Red along the dragged rectangle, and nothing else changed far from it.
RED=$(convert "$COPY" -fuzz 12% -fill black -opaque '#e01b24' -fill white +opaque black -negate -format '%[fx:int(mean*w*h)]' info:)
[ "${RED:-0}" -gt 500 ] || fail "the copy has only ${RED:-0} red pixels"
DIFF=$(compare -metric AE "$FILED" "$COPY" null: 2>&1 | cut -d' ' -f1)
[ "${DIFF%.*}" -lt $((RED * 3)) ] || fail "the copy differs in $DIFF pixels, more than the rectangle"

for _ in $(seq 100); do grep -q "$(basename "$COPY")" "$WORK/showitems.log" 2>/dev/null && break; sleep 0.1; done
grep -qx "file://$COPY" "$WORK/showitems.log" || fail "ShowItems was not called with the copy"

kill -0 $APP 2>/dev/null || fail "pictrove ended with the editor"
kill -TERM $APP
for _ in $(seq 50); do kill -0 $APP 2>/dev/null || break; sleep 0.1; done
echo "PASS"
