#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer + AddressSanitizer + UndefinedBehaviorSanitizer) and
# runs each fuzz target for ${FUZZ_SECONDS:-30} seconds, starting from a copy of its committed
# seed corpus (the corpus itself is never written). Any crash, leak or sanitizer report fails the
# script; its reproducer is kept and named.
#   scripts/fuzz.sh [TARGET...]     targets: history spectral round import (default: all)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-30}"
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(history spectral round import)

cmake --preset fuzz >/dev/null
for name in "${targets[@]}"; do
  cmake --build --preset fuzz --target "tolvane_${name}_fuzzer"
done

work="$(mktemp -d "${TMPDIR:-/tmp}/tolvane-fuzz.XXXXXX")"
keep_work=0
cleanup() { if [ "$keep_work" -eq 0 ]; then rm -rf "$work"; fi; }
trap cleanup EXIT

failed=0
for name in "${targets[@]}"; do
  target="tolvane_${name}_fuzzer"
  mkdir -p "$work/$name/corpus" "$work/$name/artifacts"
  cp "fuzz/corpus/$name/"* "$work/$name/corpus/"
  echo "fuzz: running $target for ${seconds}s"
  status=0
  "./build/fuzz/fuzz/$target" \
    -max_total_time="$seconds" \
    -timeout=10 \
    -rss_limit_mb=2048 \
    -print_final_stats=1 \
    -artifact_prefix="$work/$name/artifacts/" \
    "$work/$name/corpus" 2>"$work/$name/fuzz.log" || status=$?
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
