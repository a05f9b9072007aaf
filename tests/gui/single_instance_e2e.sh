#!/usr/bin/env bash
# The real tolvane on a private X server: its window appears, a second copy shows the
# "二重起動防止" box and ends once it is closed while the first goes on, and after the first ends
# (also by a crash) a new copy starts. Every wait is bounded.
set -euo pipefail

exe=${1:?usage: single_instance_e2e.sh path/to/tolvane}
wait_seconds=${TOLVANE_E2E_WAIT:-30}

for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "e2e: $tool is missing (scripts/install-deps.sh installs it)" >&2
    exit 1
  fi
done

work=$(mktemp -d)
xvfb_pid=""
started=()
reaped=()
cleanup() {
  # Only copies not yet waited for: a reaped pid may belong to someone else by now.
  for pid in "${started[@]}"; do
    if [[ " ${reaped[*]} " != *" $pid "* ]]; then
      kill -KILL "$pid" 2>/dev/null || true
    fi
  done
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "e2e: FAIL: $*" >&2
  if [ -s "$work/tolvane.log" ]; then
    echo "e2e: what the copies wrote:" >&2
    tail -n 60 "$work/tolvane.log" >&2
  fi
  ls -la "$work/runtime" >&2 || true
  cat "$work/runtime/SkelmorAppMutex" >&2 2>/dev/null || true
  xdotool search --onlyvisible --name . getwindowname %@ >&2 2>/dev/null || true
  exit 1
}

# shellcheck source=../../scripts/private-x.sh
source "$(dirname "$0")/../../scripts/private-x.sh"
start_private_x 1280x1024x24 || fail "Xvfb did not start: $(cat "$work/xvfb.log")"

# Starts a copy in this shell (so that it can be waited for) and sets $copy to its pid.
start_copy() {
  "$exe" >>"$work/tolvane.log" 2>&1 &
  copy=$!
  started+=("$copy")
}

count_windows() {
  exact_windows "$1" | wc -l
}

# Waits for process $1 to end and sets $status to its exit status.
wait_exit() {
  for _ in $(seq 1 $((wait_seconds * 10))); do
    if ! kill -0 "$1" 2>/dev/null; then
      status=0
      wait "$1" || status=$?
      reaped+=("$1")
      return 0
    fi
    sleep 0.1
  done
  return 1
}

press() {
  xdotool windowfocus --sync "$1"
  xdotool key --clearmodifiers "$2"
}

echo "e2e: first copy"
start_copy
first=$copy
main=$(wait_window Tolvane) || fail "no window titled Tolvane"

echo "e2e: second copy"
start_copy
second=$copy
box=$(wait_window 二重起動防止) || fail "the second copy showed no 二重起動防止 box"
[ "$(count_windows Tolvane)" -eq 1 ] || fail "the second copy showed a main window"
kill -0 "$first" || fail "the first copy ended"
press "$box" Return
wait_exit "$second" || fail "the second copy did not end after its box was closed"
[ "$status" -eq 0 ] || fail "the second copy ended with status $status"
kill -0 "$first" || fail "the first copy ended with the second"
[ "$(count_windows Tolvane)" -eq 1 ] || fail "the first copy's window is gone"

echo "e2e: first copy ends"
press "$main" Escape
wait_exit "$first" || fail "Escape did not end the first copy"
[ "$status" -eq 0 ] || fail "the first copy ended with status $status"

echo "e2e: a new copy starts, then crashes"
start_copy
third=$copy
wait_window Tolvane >/dev/null || fail "no new copy started after the first ended"
[ "$(count_windows 二重起動防止)" -eq 0 ] || fail "the new copy was taken for a second one"
kill -KILL "$third"
wait "$third" 2>/dev/null || true
reaped+=("$third")

echo "e2e: the crashed copy's lock does not block"
start_copy
fourth=$copy
main=$(wait_window Tolvane) || fail "the crashed copy's lock blocked the next start"
[ "$(count_windows 二重起動防止)" -eq 0 ] || fail "the crashed copy's lock was taken as held"
press "$main" Escape
wait_exit "$fourth" || fail "Escape did not end the last copy"
[ "$status" -eq 0 ] || fail "the last copy ended with status $status"

echo "e2e: PASS"
