#!/usr/bin/env bash
# Builds and runs every test twice: a normal build, then an AddressSanitizer +
# UndefinedBehaviorSanitizer build with clang, which also builds the fuzz targets
# and runs each over its corpus. First it checks that every C++ file is formatted.
#   tools/run-tests.sh           everything, as CI runs it
#   tools/run-tests.sh --quick   the format check and the normal build's tests only
set -euo pipefail
cd "$(dirname "$0")/.."

quick=false
case "${1:-}" in
  "") ;;
  --quick) quick=true ;;
  *) echo "usage: tools/run-tests.sh [--quick]" >&2; exit 2 ;;
esac

tools/install-deps.sh tests

mapfile -t unformatted < <(git ls-files -z '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run 2>&1 |
  sed -n 's/^\(.*\):[0-9]*:[0-9]*: warning: code should be clang-formatted.*/\1/p' | sort -u)
if [ ${#unformatted[@]} -gt 0 ]; then
  echo "These files are not formatted as .clang-format says:" >&2
  printf '  %s\n' "${unformatted[@]}" >&2
  echo "Format them with: clang-format -i ${unformatted[*]}" >&2
  exit 1
fi

jobs=$(nproc)

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPOMELUNE_WERROR=ON
cmake --build build/release -j "$jobs"
ctest --test-dir build/release -j "$jobs" --output-on-failure
$quick && exit 0

CC=clang CXX=clang++ cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPOMELUNE_WERROR=ON \
  -DPOMELUNE_SANITIZE=ON -DPOMELUNE_FUZZ=ON -DPOMELUNE_BENCH=OFF
cmake --build build/sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/sanitize -j "$jobs" --output-on-failure
