#!/usr/bin/env bash
# Installs the Debian packages a purpose needs, only those not installed yet. Uses sudo
# when not run as root.
#   tools/install-deps.sh viewer   the program and the archiver libraries it loads
#   tools/install-deps.sh tests    that, plus the tests, the sanitizer build, the fuzz
#                                  targets, the benchmarks and their peers
set -euo pipefail

viewer=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-translations-l10n libarchive-dev libgif-dev fonts-ipafont-gothic
)
tests=(
  "${viewer[@]}"
  clang libclang-rt-14-dev clang-format
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev
  xvfb xauth x11-apps xdotool imagemagick
  desktop-file-utils libxml2-utils dpkg-dev lintian file
)

case "${1:-}" in
  viewer) packages=("${viewer[@]}") ;;
  tests) packages=("${tests[@]}") ;;
  *) echo "usage: tools/install-deps.sh viewer|tests" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
