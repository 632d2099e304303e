#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The tray application on a real X server with a window manager, a tray, a notification
# server and a D-Bus session: filing under the front application, the notification, the
# clipboard, the thumbnail, the second start, the annotation editor as a person and a screen
# reader use it (the hotkey, the Rectangle tool pressed over AT-SPI, a drag, Control+Return:
# the copy beside the capture, shown in the file manager) and the quit.
set -uo pipefail
PICTROVE=$(readlink -f "$1")

source "$(dirname "$0")/lib/sandbox.bash"
source "$(dirname "$0")/lib/steps.bash"
e2e_require Xvfb openbox dbus-run-session dunst trayer xterm xdotool xclip dbus-monitor xwininfo convert compare
e2e_require_atspi dbus gi
export GTK_A11Y=
e2e_session desktop 1280x900 "$PICTROVE"
fail() {
  echo "FAIL: $*"; echo "--- pictrove log"; cat "$WORK/pictrove.log" 2>/dev/null
  echo "--- settings"; cat "$XDG_CONFIG_HOME/Pictrove/"* 2>/dev/null; echo "--- file manager"; cat "$WORK/showitems.log" 2>/dev/null
  exit 1
}

trayer --edge top --align right --widthtype pixel --width 120 --height 24 >/dev/null 2>&1 & PIDS+=($!)
dunst >/dev/null 2>&1 & PIDS+=($!)
dbus-monitor "interface='org.freedesktop.Notifications',member='Notify'" > "$WORK/notify.log" 2>&1 & PIDS+=($!)
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
/usr/bin/python3 "$WORK/filemanager.py" "$WORK/showitems.log" & PIDS+=($!)
sleep 1

e2e_library copyToClipboardOnCapture true scanOnCapture false

# Bad input opens nothing.
"$PICTROVE" annotate "$WORK/missing.png" 2>"$WORK/err.log" && fail "a missing image was accepted"
grep -q "missing.png" "$WORK/err.log" || fail "no error for a missing image"
echo "not a picture" > "$WORK/bad.png"
"$PICTROVE" annotate "$WORK/bad.png" 2>"$WORK/err.log" && fail "an undecodable image was accepted"

e2e_start
sleep 1
grep -q "No system tray" "$WORK/pictrove.log" && fail "the tray was not found"

# A second start hands over to the first and ends.
timeout 10 "$PICTROVE" > "$WORK/second.log" 2>&1 || fail "second start failed"
grep -q "Already running" "$WORK/second.log" || fail "second start did not hand over: $(cat "$WORK/second.log")"
e2e_window '^Pictrove$' >/dev/null || fail "the panel did not open on the second start"
# A click outside closes it.
xdotool mousemove 300 500 click 1
e2e_window_closes '^Pictrove$' || fail "the panel stayed open after a click outside"

# XTerm in front, then a screenshot appears in the watched folder.
e2e_xterm_in_front
convert -size 1200x800 xc:'#f0f0f0' -fill '#3070c0' -draw 'rectangle 100,100 500,300' "$WORK/shot.png"
e2e_capture "$WORK/shot.png" "Screenshot from 2026-01-02 10-11-12.png"
THUMB=$(e2e_window 'Pictrove Thumbnail') || fail "no thumbnail on screen"

# The thumbnail sits in the bottom-right corner and leaves the focus with the user's window.
[ "$(xdotool getactivewindow)" = "$WID" ] || fail "the thumbnail took the focus"
sleep 0.6
eval "$(xdotool getwindowgeometry --shell "$THUMB")"
[ "$X" -gt 900 ] && [ "$Y" -gt 500 ] || fail "thumbnail not in the bottom-right corner: $X,$Y"
import -window root "$WORK/screen.png" 2>/dev/null && [ -n "${PICTROVE_LOOK_DIR:-}" ] && cp "$WORK/screen.png" "$PICTROVE_LOOK_DIR/e2e-screen.png"

FILED=$(find "$LIBRARY/XTerm" -name 'screenshot_*.png' 2>/dev/null | head -1)
[ -n "$FILED" ] || fail "not filed under XTerm: $(find "$LIBRARY" -type f)"
grep -q "Screenshot Organized" "$WORK/notify.log" || fail "no notification"
grep -q "XTerm — $(basename "$FILED")" "$WORK/notify.log" || fail "notification body"
TARGETS=$(xclip -selection clipboard -t TARGETS -o 2>/dev/null)
for t in text/uri-list x-special/gnome-copied-files application/x-kde-cutselection image/png; do
  echo "$TARGETS" | grep -qx "$t" || fail "clipboard lacks $t: $TARGETS"
done
xclip -selection clipboard -t text/uri-list -o | grep -q "$(basename "$FILED")" || fail "clipboard file"

# The thumbnail goes by itself after 5 s (plus the slide-out).
sleep 6
e2e_no_window 'Pictrove Thumbnail' || fail "thumbnail still on screen"

# The hotkey opens the editor on the capture.
BEFORE=$(sha256sum < "$FILED")
xdotool windowactivate --sync "$WID"
xdotool key ctrl+shift+a
TITLE="Annotate — $(basename "$FILED")"
EDITOR=$(e2e_window "^$TITLE\$") || fail "the hotkey did not open \"$TITLE\""
sleep 1
e2e_size_is "$EDITOR" 960 720

# The toolbar through the accessibility bus, as a screen reader reaches it.
probe has "$TITLE" label "Draw on the screenshot to annotate" || fail "no status before drawing"
probe press "$TITLE" control Rectangle || fail "Rectangle could not be pressed over AT-SPI"
sleep 0.5

# Drag inside the canvas (client coordinates: below the toolbar, above the bottom bar).
X0=$((X + 300)); Y0=$((Y + 250)); X1=$((X + 600)); Y1=$((Y + 450))
xdotool mousemove $X0 $Y0 mousedown 1
for i in 1 2 3 4 5; do xdotool mousemove $((X0 + i * 60)) $((Y0 + i * 40)); sleep 0.05; done
xdotool mouseup 1
probe has "$TITLE" label "1 annotation" || fail "the status does not count the drawn rectangle"
[ -n "${PICTROVE_LOOK_DIR:-}" ] && import -window root "$PICTROVE_LOOK_DIR/e2e-editor.png" 2>/dev/null

xdotool key ctrl+Return
COPY="${FILED%.png}_annotated.png"
e2e_wait_for 10 test -s "$COPY" || fail "no annotated copy beside the capture: $(ls "$(dirname "$FILED")")"
e2e_window_closes "^$TITLE\$" || fail "the editor stayed open after saving"
[ "$(sha256sum < "$FILED")" = "$BEFORE" ] || fail "the capture itself changed"

# Red along the dragged rectangle, and nothing else changed far from it.
RED=$(convert "$COPY" -fuzz 12% -fill black -opaque '#e01b24' -fill white +opaque black -negate -format '%[fx:int(mean*w*h)]' info:)
[ "${RED:-0}" -gt 500 ] || fail "the copy has only ${RED:-0} red pixels"
DIFF=$(compare -metric AE "$FILED" "$COPY" null: 2>&1 | cut -d' ' -f1)
[ "${DIFF%.*}" -lt $((RED * 3)) ] || fail "the copy differs in $DIFF pixels, more than the rectangle"

e2e_wait_for 10 grep -qx "file://$COPY" "$WORK/showitems.log" || fail "ShowItems was not called with the copy"
# Quit: the index is written (the screenshot tool's thumbnail setting put back: headless_capture.sh).
e2e_quit
grep -q "$(basename "$FILED")" "$XDG_DATA_HOME/Pictrove/index.json" || fail "index not written"
echo "PASS"
