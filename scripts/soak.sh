#!/usr/bin/env bash
# Runs Tidewire against a modem played on a pseudo-terminal for a while
# (an hour unless told otherwise) at 40 sentences a second, with one burst of
# 600 sentences at the line rate of the port (115,200 baud) early in the run,
# then checks that every sentence reached the NMEA log once and in order, that
# every data request was answered, that memory did not grow and that nothing
# was written outside the data root. See scripts/soak_peer.py. Then 560 host
# command lines are written at once into `tidewire --emulate`, and every one
# must be logged and answered once, in order, with no NMEA error. See
# scripts/emulator_burst.py.
#
#   scripts/soak.sh [SECONDS]          build/tidewire, or $TIDEWIRE_BINARY
set -euo pipefail
cd "$(dirname "$0")/.."
export PYTHONDONTWRITEBYTECODE=1  # the peers share soak_checks.py; no cache beside it
SECONDS_TO_RUN=${1:-3600}
BINARY=${TIDEWIRE_BINARY:-build/tidewire}
if [ ! -x "$BINARY" ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build --target tidewire
fi
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tidewire-soak.XXXXXX")
echo "soak: ${SECONDS_TO_RUN} s against $BINARY, files in $WORK"
code=0
python3 scripts/soak_peer.py --binary "$(realpath "$BINARY")" --work "$WORK" \
  --seconds "$SECONDS_TO_RUN" --rate 40 || code=$?
python3 scripts/emulator_burst.py --binary "$(realpath "$BINARY")" --work "$WORK" \
  --lines 560 || { c=$?; [ "$code" -ne 0 ] || code=$c; }
if [ "$code" -eq 0 ]; then
  rm -rf "$WORK"
else
  echo "soak: the run's files are kept in $WORK"
  exit "$code"
fi
