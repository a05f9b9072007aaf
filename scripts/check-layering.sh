#!/usr/bin/env bash
# Fails when a file includes a header of a folder that its own folder may not depend on.
# Dependencies point one way: core <- history, core <- spectral <- predict, {history, predict}
# <- evaluate, app -> {history, predict, evaluate}, cli -> app, app/gui -> app. A folder may include the
# folders it depends on directly or through others; tests/<folder> may include what <folder> may,
# plus tests/support; bench/ and fuzz/ may include any library.
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
)
libraries="core history spectral predict evaluate app app/gui cli"

# The folder a path belongs to, as the table names folders.
folder_of() {
  case "$1" in
    app/gui/*) echo app/gui ;;
    */*) echo "${1%%/*}" ;;
    *) echo "" ;;
  esac
}

status=0
while IFS= read -r file; do
  case "$file" in
    tests/support/*) mine=tests/support; may="core" ;;
    tests/gui/*) mine=tests/gui; may="app/gui ${allowed[app/gui]} tests/support" ;;
    tests/*/*)
      sub=${file#tests/}; sub=${sub%%/*}
      mine=tests/$sub; may="$sub ${allowed[$sub]:-} tests/support" ;;
    bench/* | fuzz/*) mine=${file%%/*}; may="$libraries tests/support" ;;
    *)
      mine=$(folder_of "$file")
      [ -n "$mine" ] && [ -n "${allowed[$mine]+set}" ] || continue
      may="$mine ${allowed[$mine]}" ;;
  esac
  while IFS= read -r included; do
    target=$(folder_of "$included")
    case "$included" in tests/*/*) target=tests/${included#tests/}; target=${target%/*} ;; esac
    [ -n "$target" ] || continue
    [ "$target" = "$mine" ] && continue
    if [[ " $may " != *" $target "* ]]; then
      echo "layering: $file includes \"$included\": $mine may not depend on $target" >&2
      status=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files '*.cpp' '*.h')

if [ "$status" -eq 0 ]; then
  echo "layering: every include follows the dependency rule"
fi
exit "$status"
