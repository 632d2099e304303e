#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The tag dialog as a person with a screen reader uses it, on a real X server with a window
# manager, a D-Bus session and the accessibility bus: with the floating thumbnail off a
# capture opens "Tag Screenshot", typing goes to its search field, Return creates the tag,
# Done (pressed through AT-SPI) writes the file's tags, the index and the recent list.
# `pictrove tag --dialog FILE` opens it in the running instance.
set -uo pipefail
PICTROVE=$(readlink -f "$1")

source "$(dirname "$0")/lib/sandbox.bash"
source "$(dirname "$0")/lib/steps.bash"
e2e_require Xvfb openbox dbus-run-session xdotool xdpyinfo getfattr convert
e2e_require_atspi
e2e_session tagdialog 1280x800 "$PICTROVE"
e2e_library showFloatingThumbnail false scanOnCapture false copyToClipboardOnCapture false showNotification false
e2e_start

convert -size 2560x1600 xc:'#3070c0' "$WORK/shot.png"
e2e_capture "$WORK/shot.png" "Screenshot from 2026-01-02 10-11-12.png"
WIN=$(e2e_window '^Tag Screenshot$') || fail "the capture did not open Tag Screenshot"
FILED=$(find "$LIBRARY" -name 'screenshot_*.png' | head -1)
[ -n "$FILED" ] || fail "the capture was not filed"
e2e_size_is "$WIN" 400 520

# The dialog has the keyboard: the user types at once.
e2e_wait_for 5 e2e_active "$WIN" || fail "the dialog did not take the focus"
xdotool type --delay 30 "  Invoices "
xdotool key Return
probe has "Tag Screenshot" button "Remove Invoices" || fail "Return did not apply Invoices"
[ -n "${PICTROVE_LOOK_DIR:-}" ] && import -window root "$PICTROVE_LOOK_DIR/e2e-tag-dialog.png" 2>/dev/null
[ -z "$(getfattr --only-values -n user.xdg.tags "$FILED" 2>/dev/null)" ] || fail "tags written before Done"
probe press "Tag Screenshot" button "Done" || fail "no Done button"
e2e_window_closes '^Tag Screenshot$' || fail "Done did not close the dialog"

[ "$(getfattr --only-values -n user.xdg.tags "$FILED" 2>/dev/null)" = "Invoices" ] || fail "file tags: $(getfattr -d "$FILED")"
INDEX=$XDG_DATA_HOME/Pictrove/index.json
e2e_wait_for 5 grep -q '"Invoices"' "$INDEX" || fail "the index entry does not hold Invoices"

# From the command line, in the running instance, offering the tag just applied as a recent one;
# Escape is Skip and writes nothing.
e2e_opens '^Tag Screenshot$' tag --dialog "$FILED"
probe has "Tag Screenshot" control "Invoices" || fail "the recent tag is not offered"
e2e_wait_for 5 e2e_active "$WIN"
xdotool key Escape
e2e_window_closes '^Tag Screenshot$' || fail "Escape did not close the dialog"
[ "$(getfattr --only-values -n user.xdg.tags "$FILED" 2>/dev/null)" = "Invoices" ] || fail "Skip changed the file's tags"
"$PICTROVE" tag --dialog "$WORK/missing.png" 2>/dev/null && fail "tag --dialog accepted a missing file"
echo "not a picture" > "$WORK/notes.png"
"$PICTROVE" tag --dialog "$WORK/notes.png" 2>/dev/null && fail "tag --dialog accepted a file that is not an image"
xdotool search --onlyvisible --name '^Tag Screenshot$' >/dev/null 2>&1 && fail "a bad file opened the dialog"
echo "PASS"
