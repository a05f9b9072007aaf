#!/usr/bin/env bash
# Takes pictures of tolvane's windows after a prediction on the bundled sample history: a private
# X server with a Japanese font, the spectra window opened (ツール → パワースペクトル) and moved
# beside the main one, the path typed in, "予想" pressed, the start box dismissed, then the windows
# saved as docs/screenshot.png and docs/spectra.png. Then ツール → 的中率の検証, 実行, and a
# picture of the evaluation window's results, plotted as the difference from chance, as
# docs/evaluation.png, and of its 収支 tab (straight and box, five tickets a draw) as
# docs/money.png. The program reads its settings from a private folder, so the user's choices
# (game, encoding, kinds of ticket) neither change the pictures nor are changed by them.
#   scripts/screenshot.sh [history file] [output png] [spectra png] [evaluation png] [money png]
# TOLVANE_BIN names the executable (default: build/default/app/gui/tolvane, built when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

history=$(realpath "${1:-data/numbers3-sample.csv}")
output=${2:-docs/screenshot.png}
spectra_output=${3:-docs/spectra.png}
evaluation_output=${4:-docs/evaluation.png}
money_output=${5:-docs/money.png}
wait_seconds=30

[ -f "$history" ] || { echo "screenshot: no history file at $history" >&2; exit 1; }
for tool in Xvfb xdotool import fc-list; do
  command -v "$tool" >/dev/null || { echo "screenshot: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done
if ! fc-list :lang=ja family | grep -q .; then
  echo "screenshot: no Japanese font installed (apt-get install fonts-ipafont-gothic)" >&2
  exit 1
fi
exe=$(built "${TOLVANE_BIN:-build/default/app/gui/tolvane}" tolvane)

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=scripts/private-x.sh
source scripts/private-x.sh
start_private_x 2560x1200x24 || { echo "screenshot: Xvfb did not start" >&2; exit 1; }

export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/tolvane"
printf '[money]\nbets=straight,box\ntickets=5\n' >"$XDG_CONFIG_HOME/tolvane/tolvane.conf"
"$exe" >"$work/tolvane.log" 2>&1 &
app_pid=$!
main=$(wait_window Tolvane) || { echo "screenshot: tolvane showed no window" >&2; exit 1; }
# Message boxes share the main window's title; theirs are the other windows of that name.
boxes() { exact_windows Tolvane | grep -vx "$main" || true; }

# The round to predict: the one after the history's last draw, when it fits the edit's 4 digits.
last=$(tail -n 1 "$history" | iconv -f CP932 -t UTF-8 2>/dev/null | sed -n 's/^第\([0-9]\{1,4\}\)回,.*/\1/p' || true)
round=""
if [ -n "$last" ] && [ "$((10#$last + 1))" -le 9999 ]; then
  round=$((10#$last + 1))
fi

# The spectra window first, so the prediction keeps its spectra; beside the main window, as a
# window without a window manager stays where it is put and one picture must not cover the other.
xdotool windowfocus --sync "$main"
xdotool key alt+t s
spectra=$(wait_window パワースペクトル) || { echo "screenshot: no spectra window" >&2; exit 1; }
main_width=$(xdotool getwindowgeometry "$main" | sed -n 's/^ *Geometry: \([0-9]*\)x.*/\1/p')
xdotool windowmove --sync "$main" 0 0
xdotool windowmove --sync "$spectra" "$((main_width + 20))" 0

# The round edit has the focus: the round, Tab to the path, type it, Tab past "選択" and the
# filter to "予想".
xdotool windowfocus --sync "$main"
if [ -n "$round" ]; then
  xdotool key ctrl+a
  xdotool type "$round"
fi
xdotool key Tab
xdotool type --delay 2 "$history"
xdotool key Tab Tab Tab space
box=
for _ in $(seq 1 $((wait_seconds * 10))); do
  box=$(boxes | head -n1)
  [ -n "$box" ] && break
  sleep 0.1
done
[ -n "$box" ] || { echo "screenshot: no start box" >&2; exit 1; }
xdotool windowfocus --sync "$box"
xdotool key Return

# The run is short; a second box would be an error report.
sleep 2
if [ -n "$(boxes)$(exact_windows エラー)" ]; then
  echo "screenshot: the prediction reported an error" >&2
  exit 1
fi
mkdir -p "$(dirname "$output")"
import -window "$main" "$output"
echo "screenshot: wrote $output"
mkdir -p "$(dirname "$spectra_output")"
import -window "$spectra" "$spectra_output"
echo "screenshot: wrote $spectra_output"

# The evaluation window over the same history, on top (the other pictures are taken): Alt+T E
# opens it, Alt+R is 実行 (the sample's nine runs take well under a second), Alt+D plots the
# difference from chance.
xdotool windowfocus --sync "$main"
xdotool key alt+t e
evaluation=$(wait_window 的中率の検証) || { echo "screenshot: no evaluation window" >&2; exit 1; }
xdotool windowmove --sync "$evaluation" 0 0
xdotool windowfocus --sync "$evaluation"
xdotool key alt+r
sleep 3
xdotool key alt+d
sleep 1
if [ -n "$(boxes)" ]; then
  echo "screenshot: the evaluation reported an error" >&2
  exit 1
fi
mkdir -p "$(dirname "$evaluation_output")"
import -window "$evaluation" "$evaluation_output"
echo "screenshot: wrote $evaluation_output"

# The 収支 tab, from the same 実行: its tab sits at (96, 138) in the window moved to the corner.
xdotool mousemove --sync 96 138 click 1
sleep 1
mkdir -p "$(dirname "$money_output")"
import -window "$evaluation" "$money_output"
echo "screenshot: wrote $money_output"
