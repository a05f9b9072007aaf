#!/usr/bin/env bash
# Builds the Debian package from a built tree as `cpack -G DEB` does, checks its name, its
# library dependencies and its files, runs lintian on it when lintian is installed (any error
# fails), unpacks it with dpkg-deb -x and runs the unpacked tolvane-cli on the sample it installs
# as an example: it must print what the built one prints on the sample of the source tree.
# Usage: deb_test.sh BUILD_DIR VERSION BUILT_CLI SAMPLE
set -euo pipefail
build=$1 version=$2 built_cli=$3 sample=$4

work="$(mktemp -d "${TMPDIR:-/tmp}/tolvane-deb.XXXXXX")"
trap 'rm -rf "$work"' EXIT
fail() {
  echo "deb_test: $*" >&2
  exit 1
}

# The packaging folder is the test's own, so nothing is written into the build tree.
if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  fail "cpack failed"
fi
# The program's version and the package's own revision: 1.0.0.1-1.
deb="$work/tolvane_${version}-1_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb"); made: $(ls "$work")"

depends="$(dpkg-deb --field "$deb" Depends)"
for library in libc6 libstdc++6; do
  [[ "$depends" == *"$library "* ]] || fail "Depends lacks $library: $depends"
done

if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || {
    cat "$work/lintian.log" >&2
    fail "lintian found errors"
  }
fi

root="$work/root"
dpkg-deb -x "$deb" "$root"
doc=usr/share/doc/tolvane
examples=$doc/examples
for file in usr/bin/tolvane-cli usr/share/man/man1/tolvane-cli.1.gz "$doc/copyright" \
  "$doc/changelog.Debian.gz" "$examples/numbers3-sample.csv" "$examples/numbers4-sample.csv" \
  "$examples/numbers3-results-example.csv"; do
  [ -s "$root/$file" ] || fail "the package has no $file"
done
grep -q '^License: Expat$' "$root/$doc/copyright" || fail "the copyright file names no licence"
if [ -e "$root/usr/bin/tolvane" ]; then
  [ -s "$root/usr/share/man/man1/tolvane.1.gz" ] || fail "the window program has no manual page"
  grep -q '^Comment=.*Numbers 3 and Numbers 4' "$root/usr/share/applications/tolvane.desktop" ||
    fail "the desktop entry does not name both games"
fi

# The browser page goes in when the wasm preset has built it.
if [ -s "$(dirname "$0")/../../build/wasm/web/tolvane.html" ]; then
  [ -s "$root/usr/share/tolvane/web/tolvane.html" ] || fail "the package has no browser page"
fi

[ "$("$root/usr/bin/tolvane-cli" --version)" = "tolvane $version" ] || fail "wrong --version"
for format in text json; do
  expected="$("$built_cli" predict "$sample" --format "$format")"
  actual="$("$root/usr/bin/tolvane-cli" predict "$root/$examples/numbers3-sample.csv" \
    --format "$format")" ||
    fail "the unpacked tolvane-cli failed on the sample"
  [ "$actual" = "$expected" ] || fail "the unpacked tolvane-cli printed: $actual"
done
"$root/usr/bin/tolvane-cli" import "$root/$examples/numbers3-results-example.csv" -o - \
  >"$work/imported.csv" 2>/dev/null || fail "the installed results example does not import"
echo "deb_test: $(basename "$deb") builds, passes lintian, unpacks, predicts on its example and" \
  "imports the other"
