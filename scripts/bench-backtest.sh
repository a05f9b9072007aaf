#!/usr/bin/env bash
# Times tolvane-cli backtest as a user runs it, whole process, against its goals:
#   the bundled sample, all nine runs            at most 0.3 s wall
#   a generated 100,000-draw history, --last 10000, all nine runs   at most 5 s wall
#   with every kind of ticket, ten a draw (--bet all --tickets 10): the sample's nine runs within
#   1 s, the 100,000-draw history with --last 10000 within 5 s
# and, for the growth with D and N, a few more sizes: the median wall time of each, from
# hyperfine when it is installed (apt-get install hyperfine; not a build dependency), else timed
# one run after another. The in-process figures (one run, lpf head) come from the evaluate
# benchmark:
#   build/default/bench/evaluate/tolvane_evaluate_bench
#   scripts/bench-backtest.sh [runs]   (runs per case; default 5)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

runs=${1:-5}
cli=$(built "${TOLVANE_CLI:-build/default/cli/tolvane-cli}" tolvane-cli)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
generate_history 100000 "$work/h100k.csv"
generate_history 25000 "$work/h25k.csv"

# name|arguments
cases=(
  "sample, all nine runs|data/numbers3-sample.csv --filter all --frame all"
  "sample, lpf head|data/numbers3-sample.csv"
  "100k draws, --last 10000, all nine runs|$work/h100k.csv --filter all --frame all --last 10000"
  "100k draws, --last 2500, all nine runs|$work/h100k.csv --filter all --frame all --last 2500"
  "25k draws, all nine runs|$work/h25k.csv --filter all --frame all"
  "100k draws, all nine runs|$work/h100k.csv --filter all --frame all"
  "sample, all nine runs, all tickets x10|data/numbers3-sample.csv --filter all --frame all --bet all --tickets 10"
  "100k draws, --last 10000, all nine runs, all tickets x10|$work/h100k.csv --filter all --frame all --last 10000 --bet all --tickets 10"
)

echo "bench-backtest: timed with $(timer_name)"
echo "bench-backtest: $(nproc) processors, load average $(cut -d' ' -f1-3 /proc/loadavg)"
for entry in "${cases[@]}"; do
  name=${entry%%|*}
  # shellcheck disable=SC2086  # the arguments are split on purpose
  echo "$name: median $(median_ms "$runs" "$cli" backtest ${entry#*|}) ms"
done
