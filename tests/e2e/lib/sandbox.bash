# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the end-to-end scripts: a private home with its own XDG folders, and the
# processes a script starts (appended to PIDS) ended when it exits.
# Usage: e2e_sandbox NAME  — sets WORK and exports HOME, XDG_*.
e2e_sandbox() {
  WORK=$(mktemp -d "/tmp/pictrove-e2e-$1-XXXXXX")
  export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_DATA_HOME=$WORK/home/.local/share
  export XDG_CACHE_HOME=$WORK/home/.cache XDG_RUNTIME_DIR=$WORK/run
  mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  PIDS=()
  trap e2e_cleanup EXIT
}

e2e_cleanup() {
  for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$WORK"
}

# Usage: e2e_require TOOL...  — ends the script with SKIP when a tool is missing.
e2e_require() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 0; }
  done
}

# Usage: e2e_require_atspi [MODULE...]  — the accessibility bus, and pyatspi and MODULEs for
# /usr/bin/python3 (Debian's modules belong to the system Python); SKIP without them.
e2e_require_atspi() {
  local modules=pyatspi m
  for m in "$@"; do modules+=", $m"; done
  if [ ! -x /usr/libexec/at-spi-bus-launcher ] || ! /usr/bin/python3 -c "import $modules" 2>/dev/null; then
    echo "SKIP: at-spi2-core or the Python modules $modules are not installed"
    exit 0
  fi
}

# Usage: e2e_in_session "$@"  — reruns the calling script once under its own D-Bus session.
e2e_in_session() {
  if [ -z "${PICTROVE_E2E_INNER:-}" ]; then
    export PICTROVE_E2E_INNER=1
    exec dbus-run-session -- bash "$0" "$@"
  fi
}

# Usage: e2e_desktop WIDTHxHEIGHT  — Xvfb on a free display, openbox managing it and the
# accessibility bus, with Qt's accessibility bridge on.
e2e_desktop() {
  local lock
  # Xvfb picks a free display and writes its number once it takes clients; a number of our own
  # choosing could be another script's server. Two servers starting at once can still pick the
  # same one, so starts take turns.
  exec {lock}>/tmp/pictrove-test-xvfb.lock
  flock "$lock"
  Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp 3>"$WORK/display" >/dev/null 2>&1 & PIDS+=($!)
  e2e_wait_for 10 test -s "$WORK/display"
  flock -u "$lock"
  exec {lock}>&-
  export DISPLAY=:$(head -1 "$WORK/display")
  # Services the session bus starts (the notification server) need the display too.
  dbus-update-activation-environment DISPLAY 2>/dev/null
  # Focus checks need openbox managing windows. An openbox that came before the server took
  # clients has exited and is started again; a loaded machine has taken many seconds.
  e2e_wait_for 60 e2e_window_manager || { echo "FAIL: openbox did not manage the screen"; exit 1; }
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 & PIDS+=($!)
  export XDG_CURRENT_DESKTOP= QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0
  sleep 1
}
e2e_window_manager() {
  if [ -z "${E2E_WM:-}" ] || ! kill -0 "$E2E_WM" 2>/dev/null; then
    openbox >/dev/null 2>&1 & E2E_WM=$!; PIDS+=($E2E_WM)
  fi
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# Usage: e2e_session NAME WIDTHxHEIGHT "$@"  — the calling script under its own D-Bus
# session, in a private home (e2e_sandbox NAME) on its own desktop (e2e_desktop).
e2e_session() {
  local name=$1 size=$2
  shift 2
  e2e_in_session "$@"
  e2e_sandbox "$name"
  e2e_desktop "$size"
}
