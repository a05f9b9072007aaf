#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer + AddressSanitizer + UndefinedBehaviorSanitizer) and
# runs the history-loader fuzzer for ${FUZZ_SECONDS:-60} seconds, starting from a copy of the
# committed seed corpus (the corpus itself is never written). Any crash, leak or sanitizer report
# fails the script; its reproducer is kept and named.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-60}"
target=tolvane_history_fuzzer

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "$target"

work="$(mktemp -d "${TMPDIR:-/tmp}/tolvane-fuzz.XXXXXX")"
keep_work=0
cleanup() { if [ "$keep_work" -eq 0 ]; then rm -rf "$work"; fi; }
trap cleanup EXIT
mkdir -p "$work/corpus" "$work/artifacts"
cp fuzz/corpus/history/* "$work/corpus/"

echo "fuzz: running $target for ${seconds}s"
status=0
"./build/fuzz/fuzz/$target" \
  -max_total_time="$seconds" \
  -timeout=10 \
  -rss_limit_mb=2048 \
  -print_final_stats=1 \
  -artifact_prefix="$work/artifacts/" \
  "$work/corpus" 2>"$work/fuzz.log" || status=$?

tail -n 25 "$work/fuzz.log"
if [ "$status" -ne 0 ] || [ -n "$(ls -A "$work/artifacts")" ] ||
   grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$work/fuzz.log"; then
  keep_work=1
  echo "fuzz: FAILED (exit $status); log and reproducers kept in $work" >&2
  ls -l "$work/artifacts" >&2 || true
  exit 1
fi
echo "fuzz: clean"
