#!/usr/bin/env bash
# Installs what is missing, builds, and runs the viewer on the bundled sample package.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j "$(nproc)"

viewer=build/release/app/pomelune
if [ ! -x "$viewer" ]; then
  echo "Built the display and platform libraries and their tests; the viewer program is not part of the build yet."
  exit 0
fi
exec "$viewer" samples/sample.chP
