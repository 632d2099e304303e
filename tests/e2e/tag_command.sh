#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# `pictrove tag`: prints, replaces, adds and removes a file's tags in the attribute the file
# manager reads, keeps the index entry and the recent list in step, and reports errors.
set -u
PICTROVE=${1:?usage: tag_command.sh PATH_TO_pictrove}

source "$(dirname "$0")/lib/sandbox.bash"
e2e_require getfattr setfattr
e2e_sandbox tag
work=$WORK
mnt=
trap '[ -n "$mnt" ] && umount "$mnt" 2>/dev/null; e2e_cleanup' EXIT
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/Pictrove" "$work/lib/Terminal/2026-01-02"

failures=0
check() { # description, expected, actual
  if [ "$2" == "$3" ]; then echo "ok: $1"; else echo "FAIL: $1: expected [$2], got [$3]"; failures=$((failures + 1)); fi
}
check_has() { # description, expected part, actual
  case "$3" in *"$2"*) check "$1" "$2" "$2" ;; *) check "$1" "$2" "$3" ;; esac
}
attr() { getfattr --absolute-names --only-values -n user.xdg.tags "$1" 2>/dev/null; }

shot=$work/lib/Terminal/2026-01-02/screenshot_10-00-00.png
other=$work/lib/Terminal/2026-01-02/screenshot_10-00-01.png
echo png >"$shot"
echo png >"$other"
if ! setfattr -n user.probe -v 1 "$shot" 2>/dev/null; then
  echo "SKIP: $work cannot hold user extended attributes"
  exit 0
fi
setfattr -x user.probe "$shot"

cat >"$XDG_DATA_HOME/Pictrove/index.json" <<JSON
{"$shot":{"path":"$shot","appName":"Terminal","timestamp":789000000,"ocrText":"","piiRects":[],"tags":["Old"]}}
JSON

out=$("$PICTROVE" tag "$shot"); check "a file without tags prints nothing" "0:" "$?:$out"

"$PICTROVE" tag "$shot" Work "Ünïcödé 日本" Home; check "replacing succeeds" 0 $?
check "attribute as the file manager writes it" "Work,Ünïcödé 日本,Home" "$(attr "$shot")"
check "one tag a line" "$(printf 'Work\nÜnïcödé 日本\nHome')" "$("$PICTROVE" tag "$shot")"

"$PICTROVE" tag "$shot" --add Travel --remove Home --add Work; check "add and remove succeed" 0 $?
check "added at the end, removed, no duplicate" "Work,Ünïcödé 日本,Travel" "$(attr "$shot")"

setfattr -n user.xdg.tags -v "Kde,,Written" "$other"
check "an attribute written by another program" "$(printf 'Kde\nWritten')" "$("$PICTROVE" tag "$other")"
"$PICTROVE" tag "$other" --remove Kde --remove Written; check "removing the last tag succeeds" 0 $?
getfattr -n user.xdg.tags "$other" >/dev/null 2>&1; check "no tags left removes the attribute" 1 $?

index=$(cat "$XDG_DATA_HOME/Pictrove/index.json")
check_has "index entry updated" '"tags":["Work","Ünïcödé 日本","Travel"]' "$index"
grep -q screenshot_10-00-01 <<<"$index"; check "a file outside the index is not added to it" 1 $?

recent=$(cat "$XDG_CONFIG_HOME"/Pictrove/Pictrove.* 2>/dev/null | grep '^recentTags=' | sed 's/\\"/"/g')
order=$(grep -o '"name":"[^"]*"' <<<"$recent" | cut -d'"' -f4 | tr '\n' ' ')
# The dialog's Done order: the last applied tag first; --add Work moved Work up.
check "recent list, newest first" "Work Travel Home Ünïcödé 日本 " "$(printf '%b' "$order")"

# The same name typed with a combining accent is the same tag.
composed=$(printf 'Caf\xc3\xa9') decomposed=$(printf 'Cafe\xcc\x81')
"$PICTROVE" tag "$other" --add "$composed" --add "$decomposed"
check "an equivalent name is not added twice" "$composed" "$(attr "$other")"
"$PICTROVE" tag "$other" --remove "$decomposed"
getfattr -n user.xdg.tags "$other" >/dev/null 2>&1; check "an equivalent name is removed" 1 $?

err=$("$PICTROVE" tag "$shot" Fine "two,parts" 2>&1 >/dev/null); status=$?
check "a name with a comma is refused" 1 "$status"
check_has "the refusal says why" comma "$err"
check "the refused write leaves the tags" "Work,Ünïcödé 日本,Travel" "$(attr "$shot")"

err=$("$PICTROVE" tag "$work/missing.png" 2>&1 >/dev/null); status=$?
check "a missing file fails" 1 "$status"
check_has "names the missing file on stderr" missing.png "$err"
"$PICTROVE" tag "$work/missing.png" Work 2>/dev/null; check "tagging a missing file fails" 1 $?
"$PICTROVE" tag "$shot" --add 2>/dev/null; check "--add without a name fails" 1 $?
"$PICTROVE" tag 2>/dev/null; check "no file fails" 1 $?

# A file system without user extended attributes.
if [ "$(id -u)" = 0 ]; then
  mnt=$work/ramfs
  mkdir -p "$mnt"
  if mount -t ramfs ramfs "$mnt" 2>/dev/null; then
    echo png >"$mnt/shot.png"
    if setfattr -n user.probe -v 1 "$mnt/shot.png" 2>/dev/null; then
      echo "note: ramfs keeps user attributes here; not checked"
    else
      "$PICTROVE" tag "$mnt/shot.png" >/dev/null 2>&1; check "reading without user attributes fails" 1 $?
      "$PICTROVE" tag "$mnt/shot.png" Work >/dev/null 2>&1; check "writing without user attributes fails" 1 $?
    fi
  else
    mnt=
    echo "note: cannot mount ramfs; file system without attributes not checked"
  fi
fi

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
