#!/usr/bin/env bash
# Whole-process timings of tolvane-cli predict, as a user runs it, beside the bare iconv decode of
# the same file (docs/performance.md quotes them):
#   1. side by side: `iconv -f CP932 -t UTF-16LE` of a generated 1,000,000-draw history, and the
#      unfiltered prediction on it (goal: at most 1.5 times iconv's median)
#   2. the bundled sample: low-pass, unfiltered and band-pass predictions (goal: at most 2.5 ms
#      each), and --version for the process's start-up
#   3. --log on a 200,000-draw history against no log, with the number of write calls
#   4. how the costs grow with the number of draws, 6,500 to 1,000,000
#   5. peak memory of the unfiltered prediction on 1,000,000 draws
#   6. Numbers 4 beside Numbers 3 on 1,000,000 draws (goal: at most 4/3 of the Numbers 3 time)
# Medians of many runs, from hyperfine when it is installed (apt-get install hyperfine; a measuring
# tool, not a build dependency). The machine is shared: run it when `uptime` shows a low load.
#   scripts/bench-speed.sh [runs]   (runs of each long case; the sample runs 10 times as often)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

runs=${1:-15}
cli=$(built "${TOLVANE_CLI:-build/default/cli/tolvane-cli}" tolvane-cli)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for draws in 25000 100000 200000 250000 1000000; do
  generate_history "$draws" "$work/h$draws.csv"
done
python3 scripts/generate_sample_history.py --game numbers4 --draws 1000000 --seed 1 \
  --out "$work/n4-1000000.csv" >/dev/null
cp data/numbers3-sample.csv "$work/h6500.csv"

echo "bench-speed: timed with $(timer_name)"
echo "bench-speed: $(nproc) processors, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo

big="$work/h1000000.csv"
echo "1. side by side, 1,000,000 draws ($(stat -c %s "$big") bytes), median of $runs runs"
iconv_ms=$(median_ms "$runs" iconv -f CP932 -t UTF-16LE "$big" -o /dev/null)
none_ms=$(median_ms "$runs" "$cli" predict "$big" --filter none)
echo "   iconv -f CP932 -t UTF-16LE:   $iconv_ms ms"
echo "   predict --filter none:        $none_ms ms  ($(ratio "$none_ms" "$iconv_ms") times iconv)"
echo

echo "2. the bundled sample (6,500 draws), median of $((runs * 10)) runs"
for filter in lpf none bpf; do
  echo "   predict --filter $filter: $(median_ms $((runs * 10)) "$cli" predict data/numbers3-sample.csv --filter "$filter") ms"
done
echo "   --version (start-up):  $(median_ms $((runs * 10)) "$cli" --version) ms"
echo

echo "3. --log, 200,000 draws, median of $runs runs"
logged="$work/h200000.csv"
plain_ms=$(median_ms "$runs" "$cli" predict "$logged" --filter lpf)
log_ms=$(median_ms "$runs" "$cli" predict "$logged" --filter lpf --log "$work/trace.log")
echo "   without a log: $plain_ms ms"
echo "   with --log:    $log_ms ms"
rm -f "$work/trace.log"
if command -v strace >/dev/null; then
  strace -f -c -e trace=write -o "$work/strace.txt" \
    "$cli" predict "$logged" --filter lpf --log "$work/trace.log" >/dev/null
  echo "   write calls of one run: $(awk '$NF == "write" {print $4}' "$work/strace.txt")"
else
  "$cli" predict "$logged" --filter lpf --log "$work/trace.log" >/dev/null
fi
echo "   one run's log: $(stat -c %s "$work/trace.log") bytes"
echo

echo "4. growth with the number of draws (ms, median of $runs runs)"
printf '   %9s %10s %10s %10s %12s\n' draws iconv none lpf "lpf --log"
for draws in 6500 25000 100000 250000 1000000; do
  file="$work/h$draws.csv"
  rm -f "$work/trace.log"
  printf '   %9s %10s %10s %10s %12s\n' "$draws" \
    "$(median_ms "$runs" iconv -f CP932 -t UTF-16LE "$file" -o /dev/null)" \
    "$(median_ms "$runs" "$cli" predict "$file" --filter none)" \
    "$(median_ms "$runs" "$cli" predict "$file" --filter lpf)" \
    "$(median_ms "$runs" "$cli" predict "$file" --filter lpf --log "$work/trace.log")"
done
echo

echo "5. peak memory, predict --filter none on 1,000,000 draws"
/usr/bin/time -v "$cli" predict "$big" --filter none 2>&1 >/dev/null |
  awk -v size="$(stat -c %s "$big")" '/Maximum resident/ {
    printf "   peak RSS %.1f MB for a %.1f MB file\n", $NF / 1024, size / 1048576 }'
echo

echo "6. Numbers 4 beside Numbers 3, 1,000,000 draws (ms, median of $runs runs)"
for filter in none lpf; do
  three_ms=$(median_ms "$runs" "$cli" predict "$big" --filter "$filter")
  four_ms=$(median_ms "$runs" "$cli" predict "$work/n4-1000000.csv" --game numbers4 --filter "$filter")
  echo "   --filter $filter: Numbers 3 $three_ms, Numbers 4 $four_ms ($(ratio "$four_ms" "$three_ms") times)"
done
echo
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
