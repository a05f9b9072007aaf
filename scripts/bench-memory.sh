#!/usr/bin/env bash
# Peak memory (maximum resident set, from /usr/bin/time) of whole tolvane-cli processes against
# their goals:
#   backtest of a 1,000,000-draw history, --last 1000, all nine runs: 256 threads within 1.5
#     times the peak of one (the workers share a fixed scratch budget)
#   import of a 1,000,000-draw source: at most 1.5 times the source's size plus a constant
#   import of a source whose one draw line is 1 MiB of empty fields: no more than a small one
#   scripts/bench-memory.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

cli=$(built "${TOLVANE_CLI:-build/default/cli/tolvane-cli}" tolvane-cli)
[ -x /usr/bin/time ] || { echo "bench-memory: needs /usr/bin/time (apt-get install time)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
generate_history 1000000 "$work/h1m.csv"

# peak_mb COMMAND...: the command's maximum resident set in MB, its output thrown away.
peak_mb() {
  /usr/bin/time -f '%M' -o "$work/peak" "$@" >/dev/null 2>&1
  awk '{printf "%.1f", $1 / 1024}' "$work/peak"
}

echo "bench-memory: $(nproc) processors"
echo "start-up (--version): $(peak_mb "$cli" --version) MB"
echo
echo "backtest, 1,000,000 draws, --last 1000 --filter all --frame all"
one=$(peak_mb "$cli" backtest "$work/h1m.csv" --last 1000 --filter all --frame all --threads 1)
echo "  --threads 1:   $one MB"
for threads in 2 8 256; do
  mb=$(peak_mb "$cli" backtest "$work/h1m.csv" --last 1000 --filter all --frame all --threads "$threads")
  echo "  --threads $threads: $mb MB ($(ratio "$mb" "$one") times one thread)"
done
echo
size=$(awk -v b="$(stat -c %s "$work/h1m.csv")" 'BEGIN {printf "%.1f", b / 1048576}')
mb=$(peak_mb "$cli" import "$work/h1m.csv" -o "$work/imported.csv")
echo "import, 1,000,000 draws from a $size MB source: $mb MB ($(ratio "$mb" "$size") times the source)"
{
  printf 'No,\x92\x8a\x91\x49\x93\xfa,\x93\x96\x91\x49\x90\x94\x8e\x9a\n'  # No,抽選日,当選数字
  head -c $((1048576 - 1)) /dev/zero | tr '\0' ','
  printf '\n1,2019/1/1,123\n'
} >"$work/empty-fields.csv"
echo "import, one line of 1 MiB of empty fields: $(peak_mb "$cli" import "$work/empty-fields.csv" -o "$work/imported.csv") MB"
