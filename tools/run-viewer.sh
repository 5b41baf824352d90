#!/usr/bin/env bash
# Installs what is missing, builds the program and what it loads, and runs the viewer
# on the bundled sample package.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh viewer

cmake -S . -B build/viewer -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPOMELUNE_TESTS=OFF -DPOMELUNE_BENCH=OFF
cmake --build build/viewer -j "$(nproc)"

viewer=build/viewer/app/pomelune
if [ ! -f samples/sample.chP ]; then
  echo "Built $viewer. Its window and the bundled sample package are not part of the build yet;"
  echo "for now it runs without a window: $viewer --info FILE.chP, $viewer --render FILE.chP."
  exit 0
fi
exec "$viewer" samples/sample.chP
