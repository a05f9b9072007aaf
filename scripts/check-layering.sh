#!/usr/bin/env bash
# Fails when a file includes a header of a folder that its own folder may not depend on.
# Dependencies point one way: core <- history, core <- spectral <- predict, {history, predict}
# <- evaluate, app -> {history, predict, evaluate}, cli -> app, app/gui -> app, web -> cli. A folder may include the
# folders it depends on directly or through others; tests/<folder> may include what <folder> may,
# plus tests/support; bench/ and fuzz/ may include any library. spectral/detail/ is the engine's
# own: only spectral/, its tests and its benchmarks include it. A folder of code with no row below
# fails the check until it is given one.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
  [core]=""
  [history]="core"
  [spectral]="core"
  [predict]="core spectral"
  [evaluate]="core history spectral predict"
  [app]="core history spectral predict evaluate"
  [app/gui]="core history spectral predict evaluate app"
  [cli]="core history spectral predict evaluate app"
  [web]="core history spectral predict evaluate app cli"
)
libraries="core history spectral predict evaluate app app/gui cli web"

# The folder a path belongs to, as the table names folders.
folder_of() {
  case "$1" in
    app/gui/*) echo app/gui ;;
    */*) echo "${1%%/*}" ;;
    *) echo "" ;;
  esac
}

status=0
fail() {
  echo "layering: $1" >&2
  status=1
}

while IFS= read -r file; do
  case "$file" in
    tests/support/*) mine=tests/support; may="core" ;;
    tests/gui/*) mine=tests/gui; may="app/gui ${allowed[app/gui]} tests/support" ;;
    tests/*/*)
      sub=${file#tests/}; sub=${sub%%/*}
      if [ -z "${allowed[$sub]+set}" ]; then
        fail "$file: tests/$sub mirrors no folder of the dependency table"
        continue
      fi
      mine=tests/$sub; may="$sub ${allowed[$sub]} tests/support" ;;
    bench/* | fuzz/*) mine=${file%%/*}; may="$libraries tests/support" ;;
    *)
      mine=$(folder_of "$file")
      if [ -z "$mine" ] || [ -z "${allowed[$mine]+set}" ]; then
        fail "$file: its folder ${mine:-(the top)} has no row in the dependency table of scripts/check-layering.sh"
        continue
      fi
      may="$mine ${allowed[$mine]}" ;;
  esac
  while IFS= read -r included; do
    case "$included" in
      spectral/detail/*)
        case "$file" in
          spectral/* | tests/spectral/* | bench/spectral/*) ;;
          *) fail "$file includes \"$included\": only spectral/, its tests and benchmarks use the engine's internals" ;;
        esac ;;
    esac
    target=$(folder_of "$included")
    case "$included" in tests/*/*) target=tests/${included#tests/}; target=${target%/*} ;; esac
    [ -n "$target" ] || continue
    [ "$target" = "$mine" ] && continue
    if [[ " $may " != *" $target "* ]]; then
      fail "$file includes \"$included\": $mine may not depend on $target"
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files '*.cpp' '*.h')

if [ "$status" -eq 0 ]; then
  echo "layering: every include follows the dependency rule"
fi
exit "$status"
