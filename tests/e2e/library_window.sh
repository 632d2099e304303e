#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The library window as a person with a screen reader uses it, on a real X server with a
# window manager, a D-Bus session and the accessibility bus: `pictrove library` opens it in
# the running instance with every control named and the count heard, typing narrows the
# count, `pictrove library WORD` searches for WORD, and Move to Trash from a card's menu opened
# with Shift+F10 trashes the file and forgets it.
set -uo pipefail
PICTROVE=$(readlink -f "$1")

source "$(dirname "$0")/lib/sandbox.bash"
source "$(dirname "$0")/lib/steps.bash"
e2e_require Xvfb openbox dbus-run-session dbus-update-activation-environment xdotool xdpyinfo convert gio
e2e_require_atspi
e2e_session library 1280x800 "$PICTROVE"
# Services the bus starts (gvfsd, behind `gio trash --list`) see this home, not the caller's.
dbus-update-activation-environment HOME XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME XDG_RUNTIME_DIR ||
  fail "the session bus keeps the caller's home"
TITLE="Pictrove Library"
# Waits until the count the screen reader hears is $1.
count_is() {
  probe description "$TITLE" label Count "$1" >/dev/null && return 0
  echo "count heard: \"$(probe description "$TITLE" label Count)\", expected \"$1\""
  return 1
}

e2e_library showFloatingThumbnail false scanOnCapture false copyToClipboardOnCapture false showNotification false
mkdir -p "$WORK/mail" "$WORK/terminal"
convert -size 320x200 xc:'#d04040' "$WORK/mail/Screenshot 2026-01-02 at 10.11.12.png"
convert -size 320x200 xc:'#40a040' "$WORK/mail/Screenshot 2026-01-03 at 09.00.00.png"
convert -size 320x200 xc:'#4060d0' "$WORK/terminal/Screenshot 2026-01-04 at 16.30.00.png"
convert -size 320x200 xc:'#a0a040' "$WORK/terminal/Screenshot 2026-01-05 at 08.15.45.png"
"$PICTROVE" import --app Mail "$WORK/mail" >/dev/null 2>&1 || fail "import of the Mail screenshots"
"$PICTROVE" import --app Terminal "$WORK/terminal" >/dev/null 2>&1 || fail "import of the Terminal screenshots"
[ "$(find "$LIBRARY" -name '*.png' | wc -l)" = 4 ] || fail "not four files in the library: $(find "$LIBRARY")"

e2e_start
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

echo "PASS"
