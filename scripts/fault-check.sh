#!/usr/bin/env bash
# Applies each deliberate fault in scripts/faults.txt to src/ in turn, builds only the test
# program that covers it, runs it, and reports whether the suite caught the fault.
# A line of faults.txt: <test program>|<file under src/>|<sed expression>|<what it breaks>
# src/ is restored after every fault (and on exit), so the tree is never left modified.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
list=${1:-$root/scripts/faults.txt}
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
current=""
restore() { [ -n "$current" ] && git -C "$root" checkout -q -- "$current"; current=""; }
trap restore EXIT
trap 'restore; exit 130' INT TERM
caught=0; missed=0; invalid=0
while IFS='|' read -r prog file expr what; do
  case "$prog" in ''|'#'*) continue ;; esac
  current="src/$file"
  sed -i -e "$expr" "$root/$current"
  if git -C "$root" diff --quiet -- "$current"; then
    echo "INVALID  $what (sed changed nothing in $file)"; invalid=$((invalid+1)); restore; continue
  fi
  if ! cmake --build "$build" --target "test_$prog" -j2 >/dev/null 2>&1; then
    echo "CAUGHT   $what (does not build)"; caught=$((caught+1))
  elif QT_QPA_PLATFORM=offscreen timeout 600 "$build/tests/test_$prog" >/dev/null 2>&1; then
    echo "MISSED   $what"; missed=$((missed+1))
  else
    echo "CAUGHT   $what"; caught=$((caught+1))
  fi
  restore
done < "$list"
cmake --build "$build" --target all -j2 >/dev/null 2>&1 || true
echo "caught $caught, missed $missed, invalid $invalid"
[ "$missed" -eq 0 ] && [ "$invalid" -eq 0 ]
