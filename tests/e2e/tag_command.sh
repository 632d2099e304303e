#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# `pictrove tag`: prints, replaces, adds and removes a file's tags in the attribute the file
# manager reads, keeps the index entry and the recent list in step, and reports errors.
set -u
PICTROVE=${1:?usage: tag_command.sh PATH_TO_pictrove}

source "$(dirname "$0")/lib/sandbox.bash"
source "$(dirname "$0")/lib/steps.bash"
e2e_require getfattr setfattr
e2e_sandbox tag
mnt=
trap '[ -n "$mnt" ] && umount "$mnt" 2>/dev/null; e2e_cleanup' EXIT
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/Pictrove" "$WORK/lib/Terminal/2026-01-02"

# Usage: expect WHAT EXPECTED ACTUAL
expect() { [ "$2" == "$3" ] || fail "$1: expected [$2], got [$3]"; }
attr() { getfattr --absolute-names --only-values -n user.xdg.tags "$1" 2>/dev/null; }
has_attr() { getfattr -n user.xdg.tags "$1" >/dev/null 2>&1; }

shot=$WORK/lib/Terminal/2026-01-02/screenshot_10-00-00.png
other=$WORK/lib/Terminal/2026-01-02/screenshot_10-00-01.png
echo png >"$shot"
echo png >"$other"
if ! setfattr -n user.probe -v 1 "$shot" 2>/dev/null; then
  echo "SKIP: $WORK cannot hold user extended attributes"
  exit 0
fi
setfattr -x user.probe "$shot"

cat >"$XDG_DATA_HOME/Pictrove/index.json" <<JSON
{"$shot":{"path":"$shot","appName":"Terminal","timestamp":789000000,"ocrText":"","piiRects":[],"tags":["Old"]}}
JSON

out=$("$PICTROVE" tag "$shot"); expect "a file without tags prints nothing" "0:" "$?:$out"

"$PICTROVE" tag "$shot" Work "Ünïcödé 日本" Home || fail "replacing failed"
expect "attribute as the file manager writes it" "Work,Ünïcödé 日本,Home" "$(attr "$shot")"
expect "one tag a line" "$(printf 'Work\nÜnïcödé 日本\nHome')" "$("$PICTROVE" tag "$shot")"

"$PICTROVE" tag "$shot" --add Travel --remove Home --add Work || fail "adding and removing failed"
expect "added at the end, removed, no duplicate" "Work,Ünïcödé 日本,Travel" "$(attr "$shot")"

setfattr -n user.xdg.tags -v "Kde,,Written" "$other"
expect "an attribute written by another program" "$(printf 'Kde\nWritten')" "$("$PICTROVE" tag "$other")"
"$PICTROVE" tag "$other" --remove Kde --remove Written || fail "removing the last tag failed"
has_attr "$other" && fail "no tags left did not remove the attribute"

index=$(cat "$XDG_DATA_HOME/Pictrove/index.json")
[[ $index == *'"tags":["Work","Ünïcödé 日本","Travel"]'* ]] || fail "index entry not updated: $index"
grep -q screenshot_10-00-01 <<<"$index" && fail "a file outside the index was added to it"

recent=$(cat "$XDG_CONFIG_HOME"/Pictrove/Pictrove.* 2>/dev/null | grep '^recentTags=' | sed 's/\\"/"/g')
order=$(grep -o '"name":"[^"]*"' <<<"$recent" | cut -d'"' -f4 | tr '\n' ' ')
# The dialog's Done order: the last applied tag first; --add Work moved Work up.
expect "recent list, newest first" "Work Travel Home Ünïcödé 日本 " "$(printf '%b' "$order")"

# The same name typed with a combining accent is the same tag.
composed=$(printf 'Caf\xc3\xa9') decomposed=$(printf 'Cafe\xcc\x81')
"$PICTROVE" tag "$other" --add "$composed" --add "$decomposed"
expect "an equivalent name is not added twice" "$composed" "$(attr "$other")"
"$PICTROVE" tag "$other" --remove "$decomposed"
has_attr "$other" && fail "an equivalent name was not removed"

# Refusals end with status 1 and say why on stderr.
err=$("$PICTROVE" tag "$shot" Fine "two,parts" 2>&1 >/dev/null); expect "a name with a comma is refused" 1 $?
[[ $err == *comma* ]] || fail "the refusal does not say why: $err"
err=$("$PICTROVE" tag "$WORK/missing.png" 2>&1 >/dev/null); expect "a missing file fails" 1 $?
[[ $err == *missing.png* ]] || fail "the error does not name the missing file: $err"
for args in "$WORK/missing.png Work" "$shot --add" ""; do
  # shellcheck disable=SC2086
  "$PICTROVE" tag $args 2>/dev/null; expect "tag $args fails" 1 $?
done

# A file system without user extended attributes: reading fails (a write fails as the refused
# name above does).
if [ "$(id -u)" = 0 ]; then
  mnt=$WORK/ramfs
  mkdir -p "$mnt"
  if mount -t ramfs ramfs "$mnt" 2>/dev/null; then
    echo png >"$mnt/shot.png"
    if setfattr -n user.probe -v 1 "$mnt/shot.png" 2>/dev/null; then
      echo "note: ramfs keeps user attributes here; not checked"
    else
      "$PICTROVE" tag "$mnt/shot.png" >/dev/null 2>&1; expect "reading without user attributes fails" 1 $?
    fi
  else
    mnt=
    echo "note: cannot mount ramfs; file system without attributes not checked"
  fi
fi
echo "PASS"
