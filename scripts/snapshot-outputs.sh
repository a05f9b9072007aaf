#!/usr/bin/env bash
# Writes every output a refactoring must keep byte for byte into OUTDIR: tolvane-cli predict on
# the bundled sample and on a generated 1,000-draw history, for each of the nine filter/frame
# combinations, without and with --log (the log's bytes too), in JSON and CSV; backtest, stats and
# import in each of their forms; the Numbers 4 sample in each command; --help and --version. Compare two snapshots with `diff -r`. The
# transform's bits are pinned separately by the FFT fingerprint test.
#   scripts/snapshot-outputs.sh OUTDIR [path/to/tolvane-cli]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
out="${1:?usage: snapshot-outputs.sh OUTDIR [tolvane-cli]}"
cli="$(realpath "${2:-build/default/cli/tolvane-cli}")"
mkdir -p "$out"
out="$(realpath "$out")"
work="$(mktemp -d "${TMPDIR:-/tmp}/tolvane-snapshot.XXXXXX")"
trap 'rm -rf "$work"' EXIT

generate_history 1000 "$work/h1000.csv" 7
cp data/numbers3-sample.csv "$work/sample.csv"
cp data/numbers3-results-example.csv "$work/results.csv"
cp data/numbers4-sample.csv "$work/sample4.csv"

# keep NAME ARGS...: standard output, standard error and exit status of one run, from the work
# folder (relative paths, so no message names it).
keep() {
  local name=$1
  shift
  (cd "$work" && "$cli" "$@" >"$out/$name.out" 2>"$out/$name.err"; echo $? >"$out/$name.rc")
}

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
for history in sample h1000; do
  for format in json csv; do
    keep "$history-$format" predict "$history.csv" --format "$format"
    keep "$history-none-$format" predict "$history.csv" --filter none --format "$format"
  done
done
for format in text json csv; do
  keep "backtest-$format" backtest h1000.csv --filter all --frame all --last 150 --threads 2 \
    --format "$format"
  keep "stats-$format" stats sample.csv --format "$format"
  keep "stats-last-$format" stats h1000.csv --last 100 --format "$format"
done
for format in text json csv; do
  keep "numbers4-predict-$format" predict sample4.csv --game numbers4 --format "$format"
  keep "numbers4-backtest-$format" backtest sample4.csv --game numbers4 --filter all --frame all \
    --last 100 --threads 2 --format "$format"
  keep "numbers4-stats-$format" stats sample4.csv --game numbers4 --format "$format"
done
keep numbers4-as-numbers3 predict sample4.csv
keep import-stdout import results.csv -o -
keep import-file import results.csv -o imported.csv
mv "$work/imported.csv" "$out/import-file.csv"
keep help --help
keep version --version
keep predict-help predict --help
echo "snapshot: $(ls "$out" | wc -l) files in $out"
