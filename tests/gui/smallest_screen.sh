#!/usr/bin/env bash
# Runs a command (a window suite) on a private X server of the smallest screen the windows are laid
# out for, 1366x768, with no window manager; TOLVANE_SMALLEST_SCREEN tells the suite it is there.
set -euo pipefail

if ! command -v Xvfb >/dev/null; then
  echo "smallest-screen: Xvfb is missing (scripts/install-deps.sh installs it)" >&2
  exit 1
fi
work=$(mktemp -d)
wait_seconds=${TOLVANE_E2E_WAIT:-30}
xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=../../scripts/private-x.sh
source "$(dirname "$0")/../../scripts/private-x.sh"
start_private_x 1366x768x24 || { echo "smallest-screen: Xvfb did not start" >&2; exit 1; }
export TOLVANE_SMALLEST_SCREEN=1
"$@"
