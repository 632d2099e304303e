#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# pictrove import files a backlog by the dates in its names, pictrove search finds it again.
set -euo pipefail
PICTROVE=${1:?path to pictrove}
source "$(dirname "$0")/lib/sandbox.bash"
source "$(dirname "$0")/lib/steps.bash"
e2e_require convert python3
e2e_sandbox commands
work=$WORK
mkdir -p "$work/in/sub"
fail() { echo "FAIL: $*" >&2; exit 1; }

convert -size 420x90 xc:white -pointsize 28 -annotate +10+55 'Invoice 4242 total' "$work/in/Screenshot 2024-03-05 at 14.07.09.png"
convert -size 60x40 xc:blue "$work/in/sub/Screenshot from 2023-12-31 23-59-58.png"
echo "not an image" > "$work/in/Screenshot 2024-03-06 at 10.00.00.png"
convert -size 30x30 xc:red "$work/in/holiday.png"

set +e
"$PICTROVE" import --app "Web Browser" "$work/in" >"$work/out" 2>"$work/progress"
status=$?
set -e
[ "$status" = 1 ] || fail "import exit status $status, expected 1 (one file failed)"
# What is filed, skipped and kept, and the progress lines: ScreenshotImporterTest.
grep -qx "2 filed, 0 duplicates, 1 failed" "$work/progress" || fail "summary: $(cat "$work/progress")"
grep -q $'\r' "$work/progress" && fail "a bar was drawn off a terminal"
lib=$HOME/Pictures/Pictrove
[ -f "$lib/Web Browser/2024-03-05/screenshot_14-07-09.png" ] || fail "not filed under the given app by the date in its name"

"$PICTROVE" search INVOICE >"$work/found" || fail "search found nothing"
[ "$(cat "$work/found")" = "$lib/Web Browser/2024-03-05/screenshot_14-07-09.png"$'\t'"Web Browser"$'\t'"2024-03-05 14:07:09" ] \
  || fail "search output: $(cat "$work/found")"
"$PICTROVE" search --app "Web Browser" "" >"$work/all"
[ "$(head -1 "$work/all" | cut -f1)" = "$lib/Web Browser/2024-03-05/screenshot_14-07-09.png" ] || fail "not newest first"
[ "$(wc -l <"$work/all")" = 2 ] || fail "app filter: $(cat "$work/all")"
"$PICTROVE" search --json screenshot_23 | grep -q '"appName":"Web Browser"' || fail "JSON Lines"
rm "$lib/Web Browser/2023-12-31/screenshot_23-59-58.png"
[ "$("$PICTROVE" search "" | wc -l)" = 1 ] || fail "a deleted file is still listed"
set +e
"$PICTROVE" search --tag Nothing "" >/dev/null
[ $? = 1 ] || fail "no match must exit 1"
set -e

# Ctrl-C stops after the current file (the saved index holding what was filed:
# ScreenshotImporterTest).
mkdir -p "$work/backlog"
for i in $(seq 10 49); do
  convert -size 600x200 xc:white -pointsize 30 -annotate +10+90 "Backlog page $i" "$work/backlog/Screenshot 2024-04-01 at 10.00.$i.png"
done
"$PICTROVE" import "$work/backlog" >/dev/null 2>"$work/stop" &
importer=$!
for _ in $(seq 300); do grep -q '^\[1/40\]' "$work/stop" && break; sleep 0.1; done
kill -INT $importer
set +e
wait $importer
status=$?
set -e
[ "$status" = 130 ] || fail "interrupted import exit status $status: $(cat "$work/stop")"
summary=$(tail -1 "$work/stop")
case "$summary" in "Stopped after "*" of 40 files: "*) ;; *) fail "no stop summary: $summary" ;; esac
[ "$(find "$work/backlog" -type f | wc -l)" -gt 0 ] || fail "the import did not stop"

# Headless, the whole pipeline: file, hash, de-duplicate, index; the index reaches the disk.
unset DISPLAY WAYLAND_DISPLAY
WATCHED=$work/shots
mkdir -p "$WATCHED"
e2e_config sourceFolder "$WATCHED" dedupeDuplicates true scanOnCapture false
e2e_start "^Pictrove: Monitoring " || fail "headless did not start: $(cat "$WORK/pictrove.log")"
convert -size 40x30 xc:green "$work/green.png"
e2e_capture "$work/green.png" "Screenshot 2025-01-02 at 10.11.12.png"
e2e_wait_for 10 grep -q '"appName":"Unknown"' "$XDG_DATA_HOME/Pictrove/index.json" || fail "capture not indexed: $(cat "$WORK/pictrove.log")"
e2e_capture "$work/green.png" "Screenshot 2025-01-02 at 10.11.13.png"
e2e_wait_for 10 grep -q "^Pictrove: Duplicate of screenshot_.* — trashed$" "$WORK/pictrove.log" || fail "duplicate not trashed: $(cat "$WORK/pictrove.log")"
# The index entries' hashes and the trashed copy left out of the index: CaptureOrganizerTest.
e2e_quit
echo "PASS"
