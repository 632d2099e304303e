#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs every Debian 12 package that building, running and testing Pictrove needs.
# Packages already present are left alone; works as root or through sudo.
set -euo pipefail

PACKAGES=(
  # build
  build-essential cmake ninja-build pkg-config ccache clang libclang-rt-dev
  # toolkit
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6opengl6-dev libgl-dev libxkbcommon-dev
  qt6-qpa-plugins qt6-image-formats-plugins
  # text recognition, faces, patterns
  libtesseract-dev libleptonica-dev tesseract-ocr tesseract-ocr-eng
  libopencv-dev opencv-data
  libphonenumber-dev libicu-dev
  # hashing, JSON, property lists
  libssl-dev rapidjson-dev libplist-dev libplist-utils
  # PNG thumbnails shrunk as they are decoded
  libpng-dev
  # X11
  libxcb1-dev libxcb-ewmh-dev libxcb-keysyms1-dev libx11-dev libx11-xcb-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev opencv-doc
  attr trash-cli libglib2.0-bin gvfs dbus dbus-x11 xvfb openbox xdotool xclip x11-utils
  sway foot xwayland nodejs
  imagemagick dunst xterm gnome-screenshot xfce4-screenshooter gettext fonts-dejavu-core trayer
  # the Debian package and the checks of what it ships
  dpkg-dev file lintian desktop-file-utils appstream
  # windows driven as a screen reader does, and a stand-in file manager on D-Bus
  at-spi2-core python3-pyatspi python3-dbus
  # GNOME's own thumbnail factory, checked against the thumbnails Pictrove shares
  gir1.2-gnomedesktop-3.0 python3-gi
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=
if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
