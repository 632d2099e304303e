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
