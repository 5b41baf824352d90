#!/usr/bin/env bash
# Installs what is missing, builds the program and what it loads, and runs the viewer
# on the bundled sample package. Without a display it renders every anime of the
# sample into PNG images instead.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh viewer

cmake -S . -B build/viewer -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPOMELUNE_TESTS=OFF -DPOMELUNE_BENCH=OFF
cmake --build build/viewer -j "$(nproc)"

viewer=build/viewer/app/pomelune
sample=samples/sample.chP
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$viewer" "$sample"
fi

frames=build/viewer/sample-frames
rm -rf -- "$frames"
echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): rendering every anime of $sample into $frames/ instead."
for anime in 1 2 3 4 5 6 7 8 10 11 12 15 16 17 18; do
  "$viewer" --render "$sample" --anime "$anime" --out "$(printf '%s/anime%02d' "$frames" "$anime")" >/dev/null
done
