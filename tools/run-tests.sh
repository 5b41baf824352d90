#!/usr/bin/env bash
# Builds and runs every test twice: a normal build, then an AddressSanitizer +
# UndefinedBehaviorSanitizer build with clang, which also builds the fuzz targets
# and runs each over its corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh tests

jobs=$(nproc)

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPOMELUNE_WERROR=ON
cmake --build build/release -j "$jobs"
ctest --test-dir build/release -j "$jobs" --output-on-failure

CC=clang CXX=clang++ cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPOMELUNE_WERROR=ON \
  -DPOMELUNE_SANITIZE=ON -DPOMELUNE_FUZZ=ON -DPOMELUNE_BENCH=OFF
cmake --build build/sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/sanitize -j "$jobs" --output-on-failure
