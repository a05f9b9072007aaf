#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole suite in the default and the asan presets,
# checks the layering, formatting and clang-tidy, and runs each fuzz target for a short while from
# its seed corpus. Ends with one "tests: N passed, N failed" line; each step says how long it took.
# TOLVANE_DEBUG_INFO=OFF (as CI sets it) builds without debug information, which only a debugger
# needs.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

passed=0
failed=0
log="$(mktemp "${TMPDIR:-/tmp}/tolvane-ctest.XXXXXX")"
trap 'rm -f "$log"' EXIT

debug_info="${TOLVANE_DEBUG_INFO:-ON}"
step_started=$SECONDS
step() {
  echo "== $1 (previous step: $((SECONDS - step_started)) s)"
  step_started=$SECONDS
}
# The browser build first, so the default preset's web.* tests (tests/web/) check it: the module
# against tolvane-cli and the page in headless Chromium. Emscripten's own tools find their node
# modules (acorn) through NODE_PATH when node is not Debian's.
if command -v emcc >/dev/null && command -v node >/dev/null; then
  step "preset wasm"
  export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
  # The page's chart library (vendored into the page) and the page test's driver, at the
  # versions in web/package-lock.json; the driver uses the system's Chromium and downloads none.
  (cd web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --silent)
  cmake --preset wasm >/dev/null
  cmake --build --preset wasm
fi

for preset in default asan; do
  step "preset $preset"
  cmake --preset "$preset" -DTOLVANE_DEBUG_INFO="$debug_info" >/dev/null
  cmake --build --preset "$preset"
  status=0
  ctest --preset "$preset" 2>&1 | tee "$log" || status=$?
  # "100% tests passed, 0 tests failed out of 142" / "99% tests passed, 1 tests failed out of 142"
  summary="$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)"
  total="$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")"
  bad="$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$summary")"
  passed=$((passed + ${total:-0} - ${bad:-0}))
  failed=$((failed + ${bad:-0}))
  if [ "$status" -ne 0 ] || [ -z "$summary" ]; then
    echo "tests: $passed passed, $((failed > 0 ? failed : 1)) failed"
    exit 1
  fi
done

step "lint"
bash scripts/lint.sh

step "fuzz"
FUZZ_SECONDS="${FUZZ_SECONDS:-30}" bash scripts/fuzz.sh
step "done"

echo "tests: $passed passed, $failed failed"
