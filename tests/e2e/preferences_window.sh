#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The preferences window as a screen reader reaches it, on a real X server with a window
# manager, a D-Bus session and the accessibility bus: `pictrove preferences` opens it in the
# running Pictrove, every tab is found by name and every control has a name, a switch flipped
# through AT-SPI is stored, `pictrove config` moves the control, and "Launch at login" writes
# and removes the autostart entry.
set -uo pipefail
PICTROVE=$(readlink -f "$1")

source "$(dirname "$0")/lib/sandbox.bash"
source "$(dirname "$0")/lib/steps.bash"
e2e_require Xvfb openbox dbus-run-session xdotool xdpyinfo
e2e_require_atspi
e2e_session preferences 1280x800 "$PICTROVE"
e2e_library
e2e_start

e2e_opens '^Pictrove Preferences$' preferences
e2e_size_is "$WIN" 500 520

# Everything else through the accessibility bus, as a screen reader user would.
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

# A switch flipped by the user is stored at once.
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
e2e_quit
echo "PASS"
