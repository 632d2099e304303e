#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package as users get it, built by CPack from this build tree: lintian finds no
# error, the shipped desktop entry and AppStream metadata pass their validators, the package
# carries every file the desktop needs, names the data loaded at run time, and its executable
# runs.
# Usage: deb.sh CPACK BUILD_DIR SOURCE_DIR
set -euo pipefail
cpack=$1 build=$2 source=$3
out=$(mktemp -d /tmp/pictrove-package-XXXXXX)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*"; status=1; }
status=0

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log"; exit 1
fi
deb=$(echo "$out"/pictrove_*_amd64.deb)
[ -f "$deb" ] || { cat "$out/cpack.log"; echo "FAIL: no package in $out"; exit 1; }
echo "Built $(basename "$deb")"

lintian --tag-display-limit 0 "$deb" >"$out/lintian.log" 2>&1 || true
cat "$out/lintian.log"
if grep -q '^E:' "$out/lintian.log"; then fail "lintian reports errors"; fi

root=$out/root
dpkg-deb -x "$deb" "$root"
desktop=$(desktop-file-validate "$root/usr/share/applications/pictrove.desktop" 2>&1) || true
[ -z "$desktop" ] || fail "desktop-file-validate: $desktop"
appstreamcli validate --no-net --strict "$root/usr/share/metainfo/com.pictrove.Pictrove.metainfo.xml" \
  || fail "appstreamcli validate"

for f in usr/bin/pictrove usr/share/applications/pictrove.desktop \
         usr/share/icons/hicolor/scalable/apps/pictrove.svg \
         usr/share/metainfo/com.pictrove.Pictrove.metainfo.xml usr/share/man/man1/pictrove.1.gz \
         usr/share/doc/pictrove/copyright usr/share/doc/pictrove/changelog.Debian.gz; do
  [ -f "$root/$f" ] || fail "missing /$f"
done

# A shell loads an extension or script only from a folder named by its id.
shell_helper() { # SOURCE_FOLDER INSTALL_PARENT JSON_PATH...
  local src=$source/packaging/$1 parent=$2 id
  shift 2
  [ -f "$src/metadata.json" ] || return 0
  id=$(/usr/bin/python3 -c 'import json,sys; d=json.load(open(sys.argv[1]))
for k in sys.argv[2:]: d=d[k]
print(d)' "$src/metadata.json" "$@")
  (cd "$src" && find . -type f) | while read -r f; do
    [ -f "$root/$parent/$id/$f" ] || echo "missing /$parent/$id/${f#./}"
  done
}
missing=$(shell_helper gnome-shell-extension usr/share/gnome-shell/extensions uuid
          shell_helper kwin-script usr/share/kwin/scripts KPlugin Id)
[ -z "$missing" ] || fail "$missing"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for d in tesseract-ocr-eng opencv-data libqt6svg6 libqt6widgets6 libtesseract5 libopencv-objdetect; do
  [[ $depends == *"$d"* ]] || fail "Depends lacks $d"
done
description=$(dpkg-deb -f "$deb" Description)
[ -n "$(sed -n '2,$p' <<<"$description")" ] || fail "no extended description"
# CPack writes an apostrophe as an XML entity.
if grep -qE '&[a-z]+;' <<<"$description"; then fail "description holds an entity"; fi

version=$(dpkg-deb -f "$deb" Version)
printed=$("$root/usr/bin/pictrove" --version) || fail "packaged pictrove --version failed"
[ "$printed" = "pictrove ${version%-*}" ] || fail "pictrove --version printed '$printed' for package $version"
exit $status
