#!/usr/bin/env bash
# Times tolvane-cli backtest as a user runs it, whole process, against its goals:
#   the bundled sample, all nine runs            at most 0.3 s wall
#   a generated 100,000-draw history, --last 10000, all nine runs   at most 5 s wall
# and, for the growth with D and N, a few more sizes. Uses hyperfine when it is installed
# (apt-get install hyperfine; not a build dependency), else the median of a few timed runs.
# The in-process figures (one run, lpf head) come from the evaluate benchmark:
#   build/default/bench/evaluate/tolvane_evaluate_bench
#   scripts/bench-backtest.sh [runs]   (runs per case for the fallback timer; default 5)
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-5}
cli=${TOLVANE_CLI:-build/default/cli/tolvane-cli}
if [ ! -x "$cli" ]; then
  cmake --preset default >/dev/null
  cmake --build --preset default --target tolvane-cli
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 scripts/generate_sample_history.py --draws 100000 --seed 1 --out "$work/h100k.csv" >/dev/null
python3 scripts/generate_sample_history.py --draws 25000 --seed 1 --out "$work/h25k.csv" >/dev/null

# name|arguments
cases=(
  "sample, all nine runs|data/numbers3-sample.csv --filter all --frame all"
  "sample, lpf head|data/numbers3-sample.csv"
  "100k draws, --last 10000, all nine runs|$work/h100k.csv --filter all --frame all --last 10000"
  "100k draws, --last 2500, all nine runs|$work/h100k.csv --filter all --frame all --last 2500"
  "25k draws, all nine runs|$work/h25k.csv --filter all --frame all"
  "100k draws, all nine runs|$work/h100k.csv --filter all --frame all"
)

median_seconds() {
  local times=() start end
  for _ in $(seq 1 "$runs"); do
    start=$(date +%s%N)
    # shellcheck disable=SC2086  # the arguments are split on purpose
    "$cli" backtest $1 >/dev/null
    end=$(date +%s%N)
    times+=("$(((end - start) / 1000000))")
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p" | awk '{printf "%.3f s", $1 / 1000}'
}

echo "bench-backtest: $(nproc) processors, load average $(cut -d' ' -f1-3 /proc/loadavg)"
for entry in "${cases[@]}"; do
  name=${entry%%|*}
  args=${entry#*|}
  if command -v hyperfine >/dev/null; then
    hyperfine --style basic --warmup 1 --runs "$runs" --command-name "$name" \
      "$cli backtest $args" --output null 2>&1 | sed -n '/Time (mean/,/Range/p' |
      sed "s|^|$name: |"
  else
    echo "$name: median wall $(median_seconds "$args")"
  fi
done
