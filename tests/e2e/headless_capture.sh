#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Pictrove without a display: settings through `pictrove config`, screenshots written into the
# watched folder (also by the real gnome-screenshot on a private X server),
# the library layout, the log, a settings change followed while running, and the quit on SIGTERM.
set -uo pipefail
PICTROVE=$(readlink -f "$1")

source "$(dirname "$0")/lib/sandbox.bash"
source "$(dirname "$0")/lib/steps.bash"
e2e_require convert
e2e_sandbox headless
export XDG_CURRENT_DESKTOP=GNOME LANG=C.UTF-8 LANGUAGE=de LC_ALL=
unset DISPLAY WAYLAND_DISPLAY
LOG=$WORK/pictrove.log
fail() { echo "FAIL: $*"; echo "--- pictrove log"; cat "$LOG" 2>/dev/null; echo "--- files"; find "$HOME" -path "$HOME/.cache" -prune -o -print; exit 1; }
count_in() { find "$1" -type f 2>/dev/null | wc -l; }
holds_at_least() { [ "$(count_in "$1")" -ge "$2" ]; }

WATCHED=$HOME/Shots
LIBRARY=$HOME/Library
"$PICTROVE" help | grep -q "config" || fail "help does not list config"

# Settings through the command line, checked on the way.
"$PICTROVE" config sourceFolder "~/Shots" || fail "config sourceFolder"
"$PICTROVE" config destinationFolder "~/Library" || fail "config destinationFolder"
[ "$("$PICTROVE" config sourceFolder)" = "~/Shots" ] || fail "config KEY does not print the value"
"$PICTROVE" config | grep -qx 'retentionDays = 30  (default)  \[7, 14, 30, 60, 90, 365\]' || fail "the listing does not mark defaults"
"$PICTROVE" config | grep -qx 'sourceFolder = "~/Shots"' || fail "the listing does not show a set value"
"$PICTROVE" config retentionDays soon 2>"$WORK/err"; [ $? -eq 1 ] || fail "a bad value is not refused with status 1"
grep -q "retentionDays" "$WORK/err" || fail "no error for a bad value"
"$PICTROVE" config retentionDays 7 && "$PICTROVE" config --reset retentionDays || fail "config --reset"
"$PICTROVE" config | grep -qx 'retentionDays = 30  (default)  \[7, 14, 30, 60, 90, 365\]' || fail "--reset does not bring the default back"

convert -size 64x48 xc:steelblue "$WORK/shot.png" || fail "convert"

e2e_start "Monitoring $WATCHED for screenshots"
grep -q "Monitoring $WATCHED for screenshots" "$LOG" || fail "no monitoring line"
grep -q "running headless" "$LOG" || fail "no line saying it runs headless"
[ -d "$LIBRARY" ] || fail "the library root was not created"
e2e_wait_for 5 grep -qx "show-thumbnail=false" "$XDG_CONFIG_HOME/Pictrove/ScreenshotTool.conf" || fail "the system thumbnail was not switched off"

# A plain copy, a hidden temporary renamed into place, a non-screenshot, and an empty file
# (files written slowly in chunks: ScreenshotMonitorTest).
cp "$WORK/shot.png" "$WATCHED/Screenshot 2024-03-05 at 14.07.09.png"
cp "$WORK/shot.png" "$WATCHED/.Screenshot_20240305_140710.png.tmp"
mv "$WATCHED/.Screenshot_20240305_140710.png.tmp" "$WATCHED/Screenshot_20240305_140710.png"
cp "$WORK/shot.png" "$WATCHED/holiday.png"
: > "$WATCHED/Screenshot_2024-03-05_14-07-11.png"

# The real gnome-screenshot on a private X server, once in English and once in German.
SHOT_TOOL=skipped
if command -v gnome-screenshot >/dev/null && command -v Xvfb >/dev/null && command -v dbus-run-session >/dev/null; then
  mkdir -p "$XDG_CONFIG_HOME"
  echo "XDG_PICTURES_DIR=\"\$HOME/Shots\"" > "$XDG_CONFIG_HOME/user-dirs.dirs"
  exec 5>"$WORK/display"
  Xvfb -displayfd 5 -screen 0 320x240x24 -nolisten tcp >/dev/null 2>&1 & XVFB=$!; PIDS+=($XVFB)
  e2e_wait_for 10 test -s "$WORK/display"
  if [ -s "$WORK/display" ]; then
    DISPLAY=":$(cat "$WORK/display")" GSETTINGS_BACKEND=memory timeout 60 dbus-run-session -- sh -c \
      'LANGUAGE= gnome-screenshot && sleep 1.1 && gnome-screenshot' >"$WORK/tool.log" 2>&1 && SHOT_TOOL=ran
  fi
  kill "$XVFB" 2>/dev/null
  rm -f "$XDG_CONFIG_HOME/user-dirs.dirs"
fi
if [ "$SHOT_TOOL" = ran ]; then
  EXPECTED=4
else
  echo "SKIP: gnome-screenshot could not run here; the real tool's capture is left out"
  cat "$WORK/tool.log" 2>/dev/null
  EXPECTED=2
fi

DAY=$(date +%F)
e2e_wait_for 20 holds_at_least "$LIBRARY" "$EXPECTED" || fail "expected $EXPECTED filed screenshots"
sleep 2.5
[ "$(count_in "$LIBRARY")" -eq "$EXPECTED" ] || fail "more files were filed than expected"
[ "$(find "$LIBRARY" -type f -path "$LIBRARY/Unknown/*/screenshot_*.png" | wc -l)" -eq "$EXPECTED" ] ||
  [ "$DAY" != "$(date +%F)" ] || fail "files are not under Unknown/<day>/screenshot_HH-mm-ss.png"
ls "$LIBRARY/Unknown/" | grep -Eq '^[0-9]{4}-[0-9]{2}-[0-9]{2}$' || fail "no day folder"
[ -e "$WATCHED/holiday.png" ] || fail "a non-screenshot was moved"
[ -e "$WATCHED/Screenshot_2024-03-05_14-07-11.png" ] || fail "an empty file was moved"
for name in "Screenshot 2024-03-05 at 14.07.09.png" "Screenshot_20240305_140710.png"; do
  [ "$(grep -cxF "Pictrove: Detected screenshot: $name" "$LOG")" -eq 1 ] || fail "\"$name\" not reported exactly once"
done
if [ "$SHOT_TOOL" = ran ]; then
  grep -Eq "^Pictrove: Detected screenshot: Screenshot from [0-9-]{10} [0-9-]{8}\.png$" "$LOG" || fail "gnome-screenshot's English name was not recognised"
  grep -Eq "^Pictrove: Detected screenshot: Bildschirmfoto vom [0-9-]{10} [0-9-]{8}\.png$" "$LOG" || fail "gnome-screenshot's German name was not recognised"
fi
grep -q "holiday" "$LOG" && fail "a non-screenshot was reported"
grep -q "Failed" "$LOG" && fail "a failure was logged"

# A running Pictrove follows `pictrove config`: the next capture goes to the new library.
"$PICTROVE" config destinationFolder "~/Library2" || fail "config while running"
sleep 1
cp "$WORK/shot.png" "$WATCHED/Screenshot 2024-03-05 at 14.08.00.png"
e2e_wait_for 10 holds_at_least "$HOME/Library2" 1 || fail "the running instance did not follow the new destination"

kill -TERM "$APP"
wait "$APP"; STATUS=$?
[ "$STATUS" -eq 0 ] || fail "exit status $STATUS after SIGTERM"
[ "$(tail -1 "$LOG")" = "Pictrove: Stopped monitoring" ] || fail "the quit line is not the last line"
grep -q "show-thumbnail" "$XDG_CONFIG_HOME/Pictrove/ScreenshotTool.conf" && fail "the system thumbnail was not put back"
grep -q "priorSystemThumbnailState" "$XDG_CONFIG_HOME/Pictrove/Pictrove.conf" && fail "the remembered thumbnail state was not forgotten"
echo "PASS: headless capture"
