#!/usr/bin/env bash
# Installs what is missing, builds the default preset and runs one prediction on the bundled
# sample history. Extra arguments go to `tolvane-cli predict` (e.g. --filter none).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target tolvane-cli tolvane
./build/default/cli/tolvane-cli predict data/numbers3-sample.csv --round 6501 "$@"
