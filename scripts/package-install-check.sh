#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs a built Pictrove package with apt-get, runs `pictrove --version` from it, removes
# it again and fails if any of its files is left behind. Changes /usr: for disposable
# machines (CI) or a deliberate check. Works as root or through sudo.
# Usage: package-install-check.sh PACKAGE.deb
set -euo pipefail
if [ $# -ne 1 ] || [ ! -f "$1" ]; then
  echo "usage: $0 PACKAGE.deb (one existing package, got: $*)" >&2
  exit 2
fi
deb=$(realpath "$1")
SUDO=
if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get install -y "$deb"
command -v pictrove
pictrove --version
files=$(dpkg-query -L pictrove)
$SUDO apt-get remove -y pictrove
left=0
while read -r f; do
  if [ -e "$f" ] && [ ! -d "$f" ]; then
    echo "left behind: $f"; left=1
  fi
done <<<"$files"
# Folders of our own (the extension's, the documentation's) go too.
for d in /usr/share/doc/pictrove /usr/share/gnome-shell/extensions/focused-window@pictrove.com; do
  if [ -e "$d" ]; then echo "left behind: $d"; left=1; fi
done
if dpkg-query -W -f='${Status}\n' pictrove 2>/dev/null | grep -qv 'not-installed'; then
  echo "dpkg still knows pictrove: $(dpkg-query -W -f='${Status}' pictrove)"; left=1
fi
[ $left -eq 0 ] && echo "Removed cleanly"
exit $left
