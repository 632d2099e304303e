#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The tray application on a real X server with a window manager, a tray, a notification
# server and a D-Bus session: filing under the front application, the notification, the
# clipboard, the thumbnail, the second start and the quit (the hotkey: annotate_editor.sh).
set -uo pipefail
PICTROVE=$(readlink -f "$1")

source "$(dirname "$0")/lib/sandbox.bash"
source "$(dirname "$0")/lib/steps.bash"
e2e_require Xvfb openbox dbus-run-session dunst trayer xterm xdotool xclip dbus-monitor xwininfo convert
e2e_session desktop 1280x800 "$PICTROVE"
fail() { echo "FAIL: $*"; echo "--- pictrove log"; cat "$WORK/pictrove.log" 2>/dev/null; echo "--- settings"; cat "$XDG_CONFIG_HOME/Pictrove/"* 2>/dev/null; exit 1; }

trayer --edge top --align right --widthtype pixel --width 120 --height 24 >/dev/null 2>&1 & PIDS+=($!)
dunst >/dev/null 2>&1 & PIDS+=($!)
dbus-monitor "interface='org.freedesktop.Notifications',member='Notify'" > "$WORK/notify.log" 2>&1 & PIDS+=($!)
sleep 1

e2e_library copyToClipboardOnCapture true scanOnCapture false

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
convert -size 640x400 xc:'#3070c0' "$WORK/shot.png"
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

# Quit: the index is written (the screenshot tool's thumbnail setting put back: headless_capture.sh).
e2e_quit
grep -q "$(basename "$FILED")" "$XDG_DATA_HOME/Pictrove/index.json" || fail "index not written"
echo "PASS"
