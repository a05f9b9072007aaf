#!/usr/bin/env bash
# Time and peak memory (maximum resident set, from /usr/bin/time) of `tolvane-cli add` against
# its goals: an append copies the file once, so it takes at most 3 times what cp(1) of the same
# file takes, and at most 1.5 times the file's size plus 16 MB of memory.
#   a history of ADD_BENCH_DRAWS draws (default 7,000,000: about 200 MB)
#   a history of 200 draw lines of 1 MiB each
#   scripts/bench-add.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

cli=$(built "${TOLVANE_CLI:-build/default/cli/tolvane-cli}" tolvane-cli)
[ -x /usr/bin/time ] || { echo "bench-add: needs /usr/bin/time (apt-get install time)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# measure NAME COMMAND...: "SECONDS MB" of the command, its output thrown away.
measure() {
  /usr/bin/time -f '%e %M' -o "$work/measured" "$@" >/dev/null 2>&1
  awk '{printf "%s %.1f", $1, $2 / 1024}' "$work/measured"
}

# median LIST: the middle of the numbers, one a line.
median() { sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

# report FILE: cp and add of FILE, against the goals: the medians of ADD_BENCH_RUNS runs of each,
# in turn, after the file's own writing has reached the disk (its write-back would slow the runs).
report() {
  local file=$1 size runs=${ADD_BENCH_RUNS:-5} cpTimes="" addTimes="" addMbs=""
  size=$(awk -v b="$(stat -c %s "$file")" 'BEGIN {printf "%.1f", b / 1048576}')
  cp "$file" "$work/copy.csv"  # warms the page cache for both
  sync
  for _ in $(seq "$runs"); do
    local cp add
    cp=$(measure cp "$file" "$work/cp.csv")
    add=$(measure "$cli" add "$work/copy.csv" 123)
    cpTimes+="${cp%% *}"$'\n'
    addTimes+="${add%% *}"$'\n'
    addMbs+="${add##* }"$'\n'
  done
  local cpSeconds addSeconds addMb
  cpSeconds=$(printf '%s' "$cpTimes" | median)
  addSeconds=$(printf '%s' "$addTimes" | median)
  addMb=$(printf '%s' "$addMbs" | median)
  echo "  $size MB, medians of $runs runs: cp ${cpSeconds} s; add ${addSeconds} s" \
    "($(ratio "$addSeconds" "$(awk -v s="$cpSeconds" 'BEGIN {print (s < 0.01 ? 0.01 : s)}')") times cp," \
    "goal 3), ${addMb} MB (goal $(awk -v s="$size" 'BEGIN {printf "%.1f", 1.5 * s + 16}') MB)"
}

echo "bench-add: $(nproc) processors"
generate_history "${ADD_BENCH_DRAWS:-7000000}" "$work/long.csv"
echo "a long history:"
report "$work/long.csv"

# 200 draw lines of 1 MiB: a draw, then a field of 'y' to the limit.
python3 - "$work/wide.csv" <<'PY'
import sys
with open(sys.argv[1], "wb") as out:
    out.write("回別,抽せん日,曜日,当せん番号\n".encode("cp932"))
    for n in range(1, 201):
        draw = f"第{n}回,2019/1/1,火,123,".encode("cp932")
        out.write(draw + b"y" * ((1 << 20) - len(draw)) + b"\n")
PY
echo "200 lines of 1 MiB:"
report "$work/wide.csv"
