#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Pictrove as a person and a screen reader use it, in one running instance on a real X server
# with a window manager, a tray, a notification server, a D-Bus session and the accessibility bus:
# the library window (controls named, count heard, search typed or given, Move to Trash from
# the keyboard's context menu); the tray (filing under the front application, notification,
# clipboard, thumbnail, second start, the annotation editor by hotkey, AT-SPI and a drag, its
# copy shown in the file manager); the preferences (tabs, names, switches stored and following
# `pictrove config`, the autostart entry); the tag dialog with the thumbnail switched off (a
# capture opens it, typing, Return, Done over AT-SPI write tags, index and recent list;
# `pictrove tag --dialog`, Escape as Skip); and the quit writing the index.
set -uo pipefail
PICTROVE=$(readlink -f "$1")

source "$(dirname "$0")/lib/sandbox.bash"
source "$(dirname "$0")/lib/steps.bash"
e2e_require Xvfb openbox dbus-run-session dbus-update-activation-environment dunst trayer xterm xdotool xclip \
  dbus-monitor xwininfo xdpyinfo convert compare gio getfattr
e2e_require_atspi dbus gi
export GTK_A11Y=
e2e_session windows 1280x900 "$PICTROVE"
fail() {
  echo "FAIL: $*"; echo "--- pictrove log"; cat "$WORK/pictrove.log" 2>/dev/null; echo "--- settings"
  cat "$XDG_CONFIG_HOME/Pictrove/"* 2>/dev/null; echo "--- file manager"; cat "$WORK/showitems.log" 2>/dev/null; exit 1; }

# Services the bus starts (gvfsd, behind `gio trash --list`) see this home, not the caller's.
dbus-update-activation-environment HOME XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME XDG_RUNTIME_DIR ||
  fail "the session bus keeps the caller's home"
TITLE="Pictrove Library"
# Waits until the count the screen reader hears is $1.
count_is() {
  probe description "$TITLE" label Count "$1" >/dev/null || { echo "count heard: \"$(probe description "$TITLE" label Count)\""; false; }
}

trayer --edge top --align right --widthtype pixel --width 120 --height 24 >/dev/null 2>&1 & PIDS+=($!)
dunst >/dev/null 2>&1 & PIDS+=($!)
dbus-monitor "interface='org.freedesktop.Notifications',member='Notify'" > "$WORK/notify.log" 2>&1 & PIDS+=($!)
# A stand-in file manager that records what it is asked to show.
cat > "$WORK/filemanager.py" <<'PYEOF'
import sys, dbus, dbus.service, dbus.mainloop.glib
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
mkdir -p "$WORK/mail" "$WORK/terminal"
convert -size 320x200 xc:'#d04040' "$WORK/mail/Screenshot 2026-01-02 at 10.11.12.png"
convert -size 320x200 xc:'#40a040' "$WORK/mail/Screenshot 2026-01-03 at 09.00.00.png"
convert -size 320x200 xc:'#4060d0' "$WORK/terminal/Screenshot 2026-01-04 at 16.30.00.png"
convert -size 320x200 xc:'#a0a040' "$WORK/terminal/Screenshot 2026-01-05 at 08.15.45.png"
"$PICTROVE" import --app Mail "$WORK/mail" >/dev/null 2>&1 || fail "import of the Mail screenshots"
"$PICTROVE" import --app Terminal "$WORK/terminal" >/dev/null 2>&1 || fail "import of the Terminal screenshots"
[ "$(find "$LIBRARY" -name '*.png' | wc -l)" = 4 ] || fail "not four files in the library: $(find "$LIBRARY")"

# Bad input opens nothing.
"$PICTROVE" annotate "$WORK/missing.png" 2>"$WORK/err.log" && fail "a missing image was accepted"
grep -q "missing.png" "$WORK/err.log" || fail "no error for a missing image"
echo "not a picture" > "$WORK/bad.png"
"$PICTROVE" annotate "$WORK/bad.png" 2>"$WORK/err.log" && fail "an undecodable image was accepted"

e2e_start
sleep 1
grep -q "No system tray" "$WORK/pictrove.log" && fail "the tray was not found"

# The library window.
e2e_opens "^$TITLE\$" library
count_is "4 of 4" || fail "the count after the load"
unnamed=$(probe unnamed "$TITLE") || fail "the window is not on the accessibility bus"
[ -z "$unnamed" ] || fail "controls without an accessible name: $unnamed"
# A picker is heard by its choice (Qt names combo boxes so on Linux).
for control in "combo:All Apps" "combo:All Tags" "button:Refresh" "list:Screenshots"; do
  probe description "$TITLE" "${control%%:*}" "${control#*:}" >/dev/null || fail "no $control"
done
cards=$(probe items "$TITLE") || fail "no cards on the accessibility bus"
[ "$(grep -c . <<<"$cards")" = 4 ] || fail "cards heard: $cards"
grep -q "^Terminal, " <<<"$cards" || fail "a card's name does not begin with its application: $cards"
[ -n "${PICTROVE_LOOK_DIR:-}" ] && import -window root "$PICTROVE_LOOK_DIR/e2e-library.png" 2>/dev/null

# Typing narrows the count.
probe focus "$TITLE" text Search || fail "the search field does not take the focus"
xdotool type --delay 40 "termi"
count_is "2 of 4" || fail "typing did not narrow the count"

# A query from the command line replaces the search.
e2e_opens "^$TITLE\$" library Mail
probe text "$TITLE" text Search Mail >/dev/null || fail "the search field does not hold the query"
count_is "2 of 4" || fail "the count for the query"

# Move to Trash from the card's context menu, opened from the keyboard and heard through its
# events: the file goes to the trash the desktop shows, its card and its index entry with it.
probe focus "$TITLE" text Search || fail "the search field does not take the focus"
probe tab-to list Screenshots || fail "Tab does not reach the grid"
menu=$(probe menu shift+F10 "Move to Trash") || fail "no Move to Trash in the menu Shift+F10 opens: $menu"
[ "$(tr '\n' , <<<"$menu")" = "Annotate,Tag…,Copy,Show in Folder,Move to Trash," ] || fail "the card's menu: $menu"
count_is "1 of 3" || fail "the card was not dropped"
mapfile -t left < <(find "$LIBRARY/Mail" -name '*.png' -printf '%f\n')
[ "${#left[@]}" = 1 ] || fail "not one Mail screenshot left: ${left[*]}"
# The trash of every mounted disk is listed, with what other programs put there: only the
# entries from this library count.
in_trash() { trashed=$(gio trash --list 2>/dev/null | grep -F "$(printf '\t')$LIBRARY/"); [ -n "$trashed" ]; }
e2e_wait_for 10 in_trash
[ "$(grep -c . <<<"$trashed")" = 1 ] || fail "the trash holds: $trashed"
origin=${trashed#*$'\t'}
gone=$(basename "$origin")
[[ "$origin" == "$LIBRARY/Mail/"* ]] || fail "trashed from $origin"
# The search command hides files that are gone: the index file itself must forget it.
INDEX=$XDG_DATA_HOME/Pictrove/index.json
forgotten() { ! grep -qF "$gone" "$INDEX"; }
e2e_wait_for 10 forgotten || fail "the index still holds $gone"
grep -qF "${left[0]}" "$INDEX" || fail "the index lost ${left[0]}"

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
X0=$((X + 300)); Y0=$((Y + 250))
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

# The preferences window.
e2e_opens '^Pictrove Preferences$' preferences
e2e_size_is "$WIN" 500 520

T="Pictrove Preferences"
# Each tab by its name, a control of its own coming into view, and no control without a name.
for tab_own in "General:Launch at login" "Tags:Add" "Privacy:Faces" "Storage:Skip duplicate captures" \
               "About:Read the manual"; do
  tab=${tab_own%%:*}
  probe press "$T" tab "$tab" || fail "no tab named $tab"
  probe shown "$T" "${tab_own#*:}" || fail "$tab did not bring ${tab_own#*:} into view"
  NAMELESS=$(probe unnamed "$T")
  [ -z "$NAMELESS" ] || fail "controls without a name on $tab: $NAMELESS"
  [ -n "${PICTROVE_LOOK_DIR:-}" ] && import -window root "$PICTROVE_LOOK_DIR/e2e-preferences-${tab,,}.png"
done
probe press "$T" tab General

# A switch flipped by the user is stored at once (and the captures below open the tag dialog).
probe checked "$T" switch "Show floating thumbnail preview" yes || fail "Show floating thumbnail preview is not shown on"
probe press "$T" switch "Show floating thumbnail preview"
stored() { [ "$("$PICTROVE" config "$1")" = "$2" ]; }
e2e_wait_for 10 stored showFloatingThumbnail false || fail "the switch was not stored"

# Another process's write moves the control.
probe checked "$T" switch "Show notifications" yes || fail "Show notifications is not shown on"
"$PICTROVE" config showNotification false
probe checked "$T" switch "Show notifications" no || fail "Show notifications did not follow pictrove config"

# Launch at login is the autostart entry (the switch showing it: PreferencesViewTest).
AUTOSTART=$XDG_CONFIG_HOME/autostart/pictrove.desktop
probe press "$T" switch "Launch at login"
e2e_wait_for 10 test -f "$AUTOSTART" || fail "no autostart entry after switching Launch at login on"
probe press "$T" switch "Launch at login"
e2e_wait_for 10 test ! -e "$AUTOSTART" || fail "the autostart entry stayed after switching it off"

# The tag dialog.
convert -size 2560x1600 xc:'#3070c0' "$WORK/tagged.png"
e2e_capture "$WORK/tagged.png" "Screenshot from 2026-01-02 10-11-12.png"
WIN=$(e2e_window '^Tag Screenshot$') || fail "the capture did not open Tag Screenshot"
TAGGED=$(find "$LIBRARY" -name 'screenshot_*.png' -newer "$WORK/tagged.png" | head -1)
[ -n "$TAGGED" ] || fail "the capture was not filed"
e2e_size_is "$WIN" 400 520

# The dialog has the keyboard: the user types at once.
e2e_wait_for 5 e2e_active "$WIN" || fail "the dialog did not take the focus"
xdotool type --delay 30 "  Invoices "
xdotool key Return
probe has "Tag Screenshot" button "Remove Invoices" || fail "Return did not apply Invoices"
[ -n "${PICTROVE_LOOK_DIR:-}" ] && import -window root "$PICTROVE_LOOK_DIR/e2e-tag-dialog.png" 2>/dev/null
[ -z "$(getfattr --only-values -n user.xdg.tags "$TAGGED" 2>/dev/null)" ] || fail "tags written before Done"
probe press "Tag Screenshot" button "Done" || fail "no Done button"
e2e_window_closes '^Tag Screenshot$' || fail "Done did not close the dialog"

[ "$(getfattr --only-values -n user.xdg.tags "$TAGGED" 2>/dev/null)" = "Invoices" ] || fail "file tags: $(getfattr -d "$TAGGED")"
e2e_wait_for 5 grep -q '"Invoices"' "$INDEX" || fail "the index entry does not hold Invoices"

# From the command line, in the running instance, offering the tag just applied as a recent one;
# Escape is Skip and writes nothing.
e2e_opens '^Tag Screenshot$' tag --dialog "$TAGGED"
probe has "Tag Screenshot" control "Invoices" || fail "the recent tag is not offered"
e2e_wait_for 5 e2e_active "$WIN"
xdotool key Escape
e2e_window_closes '^Tag Screenshot$' || fail "Escape did not close the dialog"
[ "$(getfattr --only-values -n user.xdg.tags "$TAGGED" 2>/dev/null)" = "Invoices" ] || fail "Skip changed the file's tags"
"$PICTROVE" tag --dialog "$WORK/missing.png" 2>/dev/null && fail "tag --dialog accepted a missing file"
echo "not a picture" > "$WORK/notes.png"
"$PICTROVE" tag --dialog "$WORK/notes.png" 2>/dev/null && fail "tag --dialog accepted a file that is not an image"
xdotool search --onlyvisible --name '^Tag Screenshot$' >/dev/null 2>&1 && fail "a bad file opened the dialog"

# Quit: the index is written (the screenshot tool's thumbnail setting put back: headless.sh).
e2e_quit
grep -q "$(basename "$FILED")" "$XDG_DATA_HOME/Pictrove/index.json" || fail "index not written"
echo "PASS"
