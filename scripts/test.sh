#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a normal
# build and an AddressSanitizer + UndefinedBehaviorSanitizer build. Between
# them the logic's tests are built for Windows and run under Wine. Then each
# fuzz target runs for a short while and the soak for a minute.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

JOBS=$(nproc 2>/dev/null || echo 2)
run_build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j"$JOBS"
  ctest --test-dir "$dir" --output-on-failure -j"$JOBS"
}

echo "== normal build"
run_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== Windows build of the logic and its tests, run under Wine"
scripts/test-windows.sh build-windows
echo "== sanitizer build (address, undefined)"
ASAN_OPTIONS=abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_build build-asan -DCMAKE_BUILD_TYPE=Debug -DTIDEWIRE_SANITIZE=ON
echo "== fuzz (libFuzzer with clang, about 20 s a target)"
scripts/fuzz.sh --seconds 20
echo "== soak (one minute at 40 sentences a second with a burst, then a burst into the emulator)"
scripts/soak.sh 60
