#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer + AddressSanitizer + UndefinedBehaviorSanitizer) and
# runs each fuzz target for ${FUZZ_SECONDS:-30} seconds, as many at once as there are processors,
# starting from a copy of its committed seed corpus (the corpus itself is never written). Any
# crash, leak or sanitizer report fails the script; its reproducer is kept and named.
#   scripts/fuzz.sh [TARGET...]     targets: history spectral round import (default: all)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-30}"
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(history spectral round import)

cmake --preset fuzz -DTOLVANE_DEBUG_INFO="${TOLVANE_DEBUG_INFO:-ON}" >/dev/null
for name in "${targets[@]}"; do
  cmake --build --preset fuzz --target "tolvane_${name}_fuzzer"
done

work="$(mktemp -d "${TMPDIR:-/tmp}/tolvane-fuzz.XXXXXX")"
keep_work=0
cleanup() { if [ "$keep_work" -eq 0 ]; then rm -rf "$work"; fi; }
trap cleanup EXIT

# run_target NAME: one target on a copy of its seeds; its exit status in $work/NAME/status.
run_target() {
  local name=$1 status=0
  mkdir -p "$work/$name/corpus" "$work/$name/artifacts"
  cp "fuzz/corpus/$name/"* "$work/$name/corpus/"
  "./build/fuzz/fuzz/tolvane_${name}_fuzzer" \
    -max_total_time="$seconds" \
    -timeout=10 \
    -rss_limit_mb=2048 \
    -print_final_stats=1 \
    -artifact_prefix="$work/$name/artifacts/" \
    "$work/$name/corpus" 2>"$work/$name/fuzz.log" || status=$?
  echo "$status" >"$work/$name/status"
}

# Each target is single-threaded: as many run at once as there are processors.
jobs_at_once=$(nproc)
for name in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs_at_once" ]; do
    wait -n || true
  done
  echo "fuzz: running tolvane_${name}_fuzzer for ${seconds}s"
  run_target "$name" &
done
wait

failed=0
for name in "${targets[@]}"; do
  target="tolvane_${name}_fuzzer"
  status=$(cat "$work/$name/status" 2>/dev/null || echo 1)
  echo "fuzz: $target:"
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+ +DONE)' "$work/$name/fuzz.log" || true
  if [ "$status" -ne 0 ] || [ -n "$(ls -A "$work/$name/artifacts")" ] ||
     grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$work/$name/fuzz.log"; then
    keep_work=1
    failed=1
    tail -n 40 "$work/$name/fuzz.log" >&2
    echo "fuzz: $target FAILED (exit $status); log and reproducers kept in $work/$name" >&2
    ls -l "$work/$name/artifacts" >&2 || true
  fi
done
[ "$failed" -eq 0 ] || exit 1
echo "fuzz: clean"
