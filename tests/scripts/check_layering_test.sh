#!/usr/bin/env bash
# The layering check on small trees of its own: each case is one file with one include, and
# whether the check must pass it. The failing cases are the rule's teeth: an include against the
# direction, the engine's internals used outside spectral/, a folder the table does not know.
set -euo pipefail
script="$(realpath "$(dirname "$0")/../../scripts/check-layering.sh")"
work="$(mktemp -d "${TMPDIR:-/tmp}/tolvane-layering.XXXXXX")"
trap 'rm -rf "$work"' EXIT

cases=(
  # expected  file                          include
  "pass       history/loader.cpp            core/owned.h"
  "pass       evaluate/replay.cpp           predict/place_ranking.h"
  "pass       tests/spectral/fft_test.cpp   spectral/detail/fft_tables.h"
  "pass       bench/spectral/bench.cpp      spectral/detail/fft_tables.h"
  "pass       spectral/fft.cpp              spectral/detail/fft_tables.h"
  "fail       predict/ranking.cpp           history/draw_history.h"
  "fail       core/owned.cpp                spectral/fft.h"
  "fail       evaluate/shared.cpp           spectral/detail/fft_tables.h"
  "fail       fuzz/engine_fuzzer.cpp        spectral/detail/allocation.h"
  "fail       tests/predict/rank_test.cpp   spectral/detail/allocation.h"
  "fail       newfolder/thing.cpp           core/owned.h"
  "fail       tests/newfolder/thing_test.cpp core/owned.h"
)

failures=0
for entry in "${cases[@]}"; do
  read -r expected file include <<<"$entry"
  tree="$work/tree"
  rm -rf "$tree"
  mkdir -p "$tree/scripts" "$tree/$(dirname "$file")"
  cp "$script" "$tree/scripts/"
  printf '#include "%s"\n' "$include" >"$tree/$file"
  git -C "$tree" init -q
  git -C "$tree" add -A
  if bash "$tree/scripts/check-layering.sh" >"$work/out" 2>&1; then actual=pass; else actual=fail; fi
  if [ "$actual" != "$expected" ]; then
    echo "FAIL: $file including $include: expected $expected, got $actual" >&2
    cat "$work/out" >&2
    failures=$((failures + 1))
  elif [ "$actual" = fail ] && ! grep -q "^layering: $file" "$work/out"; then
    echo "FAIL: $file: the check failed without naming the file" >&2
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] && echo "check-layering: ${#cases[@]} cases as expected"
exit "$failures"
