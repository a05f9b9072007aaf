# Sourced by the scripts that drive the real tolvane window: a private Xvfb display and a private
# runtime folder (so the single-instance lock never meets a tolvane the user runs), and bounded
# waits for windows by their exact title. The caller sets $work (a scratch folder it removes) and
# $wait_seconds, and kills $xvfb_pid when it is done.

# Starts Xvfb with screen size $1 (e.g. 1280x1024x24), exports DISPLAY, XDG_RUNTIME_DIR and
# QT_QPA_PLATFORM, and sets $xvfb_pid. Returns 1 when the server does not come up in time.
start_private_x() {
  # Xvfb names its display on the descriptor once it accepts clients; -noreset keeps it up
  # between copies of the program.
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 1 $((wait_seconds * 10))); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  [ -s "$work/display" ] || return 1
  export DISPLAY=":$(head -n1 "$work/display")"
  mkdir -m 700 "$work/runtime"
  export XDG_RUNTIME_DIR="$work/runtime"
  export QT_QPA_PLATFORM=xcb
}

# Visible windows named exactly $1 (xdotool's own matching ignores case).
exact_windows() {
  local id
  for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true); do
    if [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ]; then
      echo "$id"
    fi
  done
}

# Prints the id of the first window whose whole name is $1, waiting for it to appear.
wait_window() {
  local id
  for _ in $(seq 1 $((wait_seconds * 10))); do
    id=$(exact_windows "$1" | head -n1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}
