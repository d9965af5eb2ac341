#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer +
# UndefinedBehaviorSanitizer) in build-fuzz/ and fuzzes each one.
#
#   scripts/fuzz.sh                     every target for 20 s (what CI runs)
#   scripts/fuzz.sh --seconds 600 frames
#   scripts/fuzz.sh --runs 1000000      every target for a million runs
#   scripts/fuzz.sh --no-build ...      use the programs already in build-fuzz/
#
# New inputs go to build-fuzz/corpus/<target>; the checked-in corpus in
# fuzz/corpus is read, never written. A crash ends that target's run with its
# input saved under build-fuzz/findings/<target>/; the other targets still
# run, and the script exits non-zero at the end. Copy such an input into
# fuzz/corpus/<target>/ once it is fixed (fuzz/pending/<target>/ until then),
# so the normal test suite replays it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."

LIMIT=(-max_total_time=20)
TARGETS=()
BUILD=1
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) LIMIT=(-max_total_time="$2"); shift 2 ;;
    --runs) LIMIT=(-runs="$2"); shift 2 ;;
    --no-build) BUILD=0; shift ;;
    -h|--help) sed -n '2,16p' "$0"; exit 0 ;;
    *) TARGETS+=("$1"); shift ;;
  esac
done
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=(ring fields interpreter frames emulator gps config)

if [ "$BUILD" = 1 ]; then
  CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTIDEWIRE_FUZZ=ON -DTIDEWIRE_TESTS=OFF >/dev/null
  cmake --build build-fuzz --target fuzzers
fi

export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
FAILED=()
for t in "${TARGETS[@]}"; do
  dict=fuzz/nmea.dict
  [ "$t" = config ] && dict=fuzz/config.dict
  work=build-fuzz/corpus/$t
  findings=build-fuzz/findings/$t
  mkdir -p "$work" "$findings"
  log=build-fuzz/fuzz-$t.log
  start=$(date +%s)
  if ! build-fuzz/fuzz/fuzz_"$t" "${LIMIT[@]}" -dict="$dict" -max_len=8192 -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" \
        "$work" "fuzz/corpus/$t" >"$log" 2>&1; then
    tail -40 "$log"
    echo "fuzz $t: FAILED after $(( $(date +%s) - start )) s; input saved in $findings/"
    FAILED+=("$t")
    continue
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  corpus=$(grep -o 'corp: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  echo "fuzz $t: ${runs:-?} runs in $(( $(date +%s) - start )) s, coverage ${cov:-?} edges, ${ft:-?} features, corpus ${corpus:-?}, no findings"
done
if [ ${#FAILED[@]} -gt 0 ]; then
  echo "fuzz: findings in ${FAILED[*]}"
  exit 1
fi
