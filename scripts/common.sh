# Sourced by the scripts that build, run and time tolvane, from the repository's root:
# building a program when it is missing, generating histories, and timing whole processes.

# built EXE TARGET: the absolute path of EXE, building TARGET in the default preset first when
# EXE is not there yet (the build's own output goes to standard error).
built() {
  local exe=$1 target=$2
  if [ ! -x "$exe" ]; then
    cmake --preset default >/dev/null
    cmake --build --preset default --target "$target" >&2
  fi
  realpath "$exe"
}

# generate_history DRAWS FILE [SEED]: a synthetic history of DRAWS draws (seed 1 by default).
generate_history() {
  python3 scripts/generate_sample_history.py --draws "$1" --seed "${3:-1}" --out "$2" >/dev/null
}

# timer_name: what median_ms measures with.
timer_name() {
  if command -v hyperfine >/dev/null; then
    echo "hyperfine (after 3 warm-up runs)"
  else
    echo "date, one run after another (apt-get install hyperfine for steadier figures)"
  fi
}

# median_ms RUNS COMMAND...: the median wall time of COMMAND over RUNS runs, in milliseconds,
# its output thrown away. hyperfine when it is installed, else timed one run after another.
median_ms() {
  local runs=$1 json start end
  shift
  if command -v hyperfine >/dev/null; then
    json=$(mktemp)
    hyperfine -N --style none --warmup 3 --runs "$runs" --export-json "$json" "$*" >/dev/null 2>&1
    python3 -c 'import json,sys; print("%.2f" % (json.load(open(sys.argv[1]))["results"][0]["median"] * 1000))' "$json"
    rm -f "$json"
    return
  fi
  local times=()
  for _ in $(seq 1 "$runs"); do
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    times+=("$((end - start))")
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p" | awk '{printf "%.2f\n", $1 / 1e6}'
}

# ratio A B: A / B to two places.
ratio() { python3 -c "import sys; print('%.2f' % (float(sys.argv[1]) / float(sys.argv[2])))" "$1" "$2"; }
