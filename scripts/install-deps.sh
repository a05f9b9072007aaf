#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Tolvane need.
# Idempotent: packages that are already installed are left alone and apt is not touched at all
# when nothing is missing.
set -euo pipefail

packages=(
  build-essential cmake git pkg-config python3
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
  libboost-math-dev
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev qt6-svg-dev qt6-translations-l10n
  help2man dpkg-dev file
  clang libclang-rt-14-dev clang-format clang-tidy
  libfftw3-dev
  xvfb xdotool x11-utils imagemagick fonts-ipafont-gothic
  emscripten chromium
)
# The browser build's tools run on node; Debian's nodejs and npm only where no node is installed,
# as they would clash with one that is.
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)

missing=()
for pkg in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all build and test packages are present"
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages: ${missing[*]}" >&2
  echo "install-deps: run as root:  apt-get update && apt-get install -y ${missing[*]}" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
