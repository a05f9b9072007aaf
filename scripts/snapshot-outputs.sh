#!/usr/bin/env bash
# Writes every output a refactoring must keep byte for byte into OUTDIR: tolvane-cli predict on
# the bundled sample and on a generated 1,000-draw history, for each of the nine filter/frame
# combinations, without and with --log (the log's bytes too). Compare two snapshots with
# `diff -r`. The transform's bits are pinned separately by the FFT fingerprint test.
#   scripts/snapshot-outputs.sh OUTDIR [path/to/tolvane-cli]
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:?usage: snapshot-outputs.sh OUTDIR [tolvane-cli]}"
cli="$(realpath "${2:-build/default/cli/tolvane-cli}")"
mkdir -p "$out"
out="$(realpath "$out")"
work="$(mktemp -d "${TMPDIR:-/tmp}/tolvane-snapshot.XXXXXX")"
trap 'rm -rf "$work"' EXIT

python3 scripts/generate_sample_history.py --draws 1000 --seed 7 --out "$work/h1000.csv" >/dev/null
cp data/numbers3-sample.csv "$work/sample.csv"

runs=("none -" "lpf head" "lpf tail" "lpf center" "lpf headtail"
      "bpf head" "bpf tail" "bpf center" "bpf headtail")
for history in sample h1000; do
  for run in "${runs[@]}"; do
    read -r filter frame <<<"$run"
    args=(predict "$history.csv" --round 6501 --filter "$filter")
    [ "$frame" != "-" ] && args+=(--frame "$frame")
    name="$history-$filter-$frame"
    # Relative paths, so the log's "Error: Unable to open file" lines do not name the work folder.
    (cd "$work" && "$cli" "${args[@]}" >"$out/$name.out" 2>"$out/$name.err"; echo $? >"$out/$name.rc")
    (cd "$work" && "$cli" "${args[@]}" --log "$name.log" >"$out/$name.logged.out" 2>&1)
    mv "$work/$name.log" "$out/$name.log"
  done
done
echo "snapshot: $(ls "$out" | wc -l) files in $out"
