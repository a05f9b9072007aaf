#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole suite in the default and the asan
# presets, and runs the history-loader fuzzer for a short while from its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

for preset in default asan; do
  echo "== preset $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done

echo "== fuzz"
FUZZ_SECONDS="${FUZZ_SECONDS:-60}" bash scripts/fuzz.sh
