# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced after sandbox.bash: the steps the end-to-end scripts take with the running Pictrove.
# They use PICTROVE (the executable under test), WORK and WATCHED, and end the script through
# fail, which a script may define again to print more.
E2E_LIB=$(readlink -f "$(dirname "${BASH_SOURCE[0]}")")

fail() { echo "FAIL: $*"; echo "--- pictrove log"; cat "$WORK/pictrove.log" 2>/dev/null; exit 1; }

# Usage: probe COMMAND ARGS...  — the accessibility probe (lib/atspi_probe.py) under Debian's
# Python, which owns pyatspi.
probe() { /usr/bin/python3 "$E2E_LIB/atspi_probe.py" "$@"; }

# Usage: e2e_wait_for SECONDS COMMAND...  — polls until COMMAND succeeds.
e2e_wait_for() {
  local tries=$(($1 * 10))
  shift
  for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
  return 1
}

# Usage: e2e_config KEY VALUE [KEY VALUE...]  — stores settings through `pictrove config`.
e2e_config() {
  while [ $# -ge 2 ]; do
    "$PICTROVE" config "$1" "$2" >/dev/null || fail "config $1 $2"
    shift 2
  done
}

# Usage: e2e_library [KEY VALUE...]  — WATCHED and LIBRARY in the home, stored as the source and
# destination folders along with the settings given.
e2e_library() {
  WATCHED=$HOME/Watched LIBRARY=$HOME/Library
  mkdir -p "$WATCHED"
  e2e_config sourceFolder "$WATCHED" destinationFolder "$LIBRARY" "$@"
}

# Usage: e2e_start [LOG LINE]  — starts Pictrove (APP: its pid) logging to $WORK/pictrove.log
# and waits for the line (the watched folder's "Monitoring … for screenshots" unless given).
e2e_start() {
  "$PICTROVE" > "$WORK/pictrove.log" 2>&1 & APP=$!; PIDS+=($APP)
  e2e_wait_for 10 grep -q "${1:-for screenshots}" "$WORK/pictrove.log"
  kill -0 "$APP" 2>/dev/null || fail "pictrove did not keep running"
}

# Usage: e2e_quit  — ends Pictrove with SIGTERM; fails when it ended before or keeps running.
e2e_quit() {
  local p left=()
  kill -0 "$APP" 2>/dev/null || fail "pictrove ended before it was asked to quit"
  kill -TERM "$APP"
  e2e_wait_for 5 e2e_gone_process "$APP" || fail "pictrove did not quit"
  for p in "${PIDS[@]}"; do [ "$p" = "$APP" ] || left+=("$p"); done
  PIDS=("${left[@]}")
}
e2e_gone_process() { ! kill -0 "$1" 2>/dev/null; }

# Usage: ID=$(e2e_window TITLE-REGEX)  — the visible window with that title, waited for 10 s.
e2e_window() { e2e_wait_for 10 e2e_visible "$1" && xdotool search --onlyvisible --name "$1" | head -1; }
e2e_visible() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

# Usage: e2e_opens TITLE-REGEX ARGS...  — `pictrove ARGS` hands over to the running instance and
# ends, and the window it asks for is on screen (WIN: its id).
e2e_opens() {
  local title=$1
  shift
  timeout 20 "$PICTROVE" "$@" > "$WORK/command.log" 2>&1 || fail "pictrove $*: $(cat "$WORK/command.log")"
  WIN=$(e2e_window "$title") || fail "pictrove $* opened no window in the running instance"
}

# Usage: e2e_size_is ID WIDTH HEIGHT  — the window has that size (X, Y: its position).
e2e_size_is() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  [ "$WIDTH" = "$2" ] && [ "$HEIGHT" = "$3" ] || fail "the window is ${WIDTH}x${HEIGHT}, not ${2}x${3}"
}

# Usage: e2e_window_closes TITLE-REGEX  — succeeds once no visible window has that title (5 s).
e2e_window_closes() { e2e_wait_for 5 e2e_no_window "$1"; }
e2e_no_window() { ! e2e_visible "$1"; }

# Usage: e2e_xterm_in_front  — an xterm as the window the user works in (WID: its id).
e2e_xterm_in_front() {
  xterm -title e2e-xterm & PIDS+=($!)
  WID=$(e2e_window '^e2e-xterm$') || fail "xterm did not start"
  # The window can exist a moment before openbox manages it, when activation fails.
  e2e_wait_for 10 e2e_activate "$WID" || fail "xterm could not be brought to the front"
  sleep 0.5
}
e2e_activate() { xdotool windowactivate "$1" 2>/dev/null; sleep 0.2; e2e_active "$1"; }

# Usage: e2e_capture IMAGE NAME  — IMAGE appears in $WATCHED as NAME, renamed into place as
# the desktops' screenshot tools write.
e2e_capture() {
  cp "$1" "$WATCHED/.tmp-shot.png" && mv "$WATCHED/.tmp-shot.png" "$WATCHED/$2"
}

# Usage: e2e_wait_for 5 e2e_active ID  — whether the window has the keyboard focus.
e2e_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
