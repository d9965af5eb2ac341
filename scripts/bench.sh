#!/usr/bin/env bash
# Tidewire measures itself: builds Release in build-release/, then
#   1. the per-sentence benchmark: instructions per sentence under callgrind, and time;
#   2. the program under Xvfb on pseudo-terminal pairs, idle and at 50 lines/s, beside
#      a bare Qt 6 window (one 20 ms timer) and CuteCom;
#   3. the time from a data request written on the far end of the pty to the last byte
#      of its answer read there, over 1,000 requests;
#   4. the highest steady rate of 48-byte sentences the program keeps with nothing
#      lost, without a window, on a pty at 115,200 baud, and its CPU there
#      (bench/line_rate.py, about 1 to 2 minutes);
#   5. with --rss-hour: RSS after an hour at 50 lines/s against RSS after a minute;
#   6. the cruise summary of a generated week of NMEA logs (604,800 records, one a
#      second): in process (bench/summary_bench.cpp) and as `tidewire --summary DIR`.
# and prints one table. Progress goes to standard error; raw figures to $BENCH_WORK.
#
#   scripts/bench.sh [--quick] [--rss-hour] [--only LIST] [--reps N] [--display :N] [--no-cutecom]
#     --quick        short runs (a smoke test of the whole command, not figures to quote)
#     --rss-hour     also run the one-hour RSS check (about 62 minutes more)
#     --only LIST    some of: sentence,compare,latency,linerate,rss,summary (comma separated)
#     --reps N       N rounds of the comparison, medians shown (default 1)
#     --display :N   the Xvfb display to start (default: the first free one from :42 on)
#     --no-cutecom   leave CuteCom out of the comparison
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

quick=0
rss_hour=0
only="sentence,compare,latency,linerate,summary"
display="auto"
reps=1
cutecom=1
while [ $# -gt 0 ]; do
  case "$1" in
    --quick) quick=1 ;;
    --rss-hour) rss_hour=1 ;;
    --only) only="$2"; shift ;;
    --only=*) only="${1#--only=}" ;;
    --display) display="$2"; shift ;;
    --display=*) display="${1#--display=}" ;;
    --reps) reps="$2"; shift ;;
    --reps=*) reps="${1#--reps=}" ;;
    --no-cutecom) cutecom=0 ;;
    -h|--help) sed -n '2,20p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "bench.sh: unknown option '$1' (try --help)" >&2; exit 2 ;;
  esac
  shift
done
[ "$rss_hour" -eq 1 ] && only="$only,rss"
has() { case ",$only," in *",$1,"*) return 0 ;; *) return 1 ;; esac; }
for s in ${only//,/ }; do
  case "$s" in sentence|compare|latency|linerate|rss|summary) ;; *) echo "bench.sh: unknown section '$s'" >&2; exit 2 ;; esac
done

say() { echo "$(date +%H:%M:%S) $*" >&2; }

# ---- what the benchmark needs beyond the build's own packages
"$root/scripts/install-deps.sh" >&2
bench_packages=(valgrind python3 xvfb xdotool x11-utils socat)
[ "$cutecom" -eq 1 ] && bench_packages+=(cutecom)
missing=()
for p in "${bench_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  say "installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq >&2
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -qq \
    --no-install-recommends "${missing[@]}" >&2
fi

measured="$(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo '?')"
git -C "$root" diff --quiet HEAD 2>/dev/null || measured="$measured + uncommitted changes"
work="${BENCH_WORK:-$(mktemp -d /tmp/tidewire-bench.XXXXXX)}"
mkdir -p "$work"
say "raw figures go to $work"
quietly() {  # runs a step with its output in the work folder, shown only when it fails
  local log="$work/$1.log"; shift
  "$@" >"$log" 2>&1 || { cat "$log" >&2; echo "bench.sh: $* failed" >&2; exit 1; }
}

# ---- Release build of the program, the per-sentence benchmark and the bare window
build="$root/build-release"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
say "building Release in build-release/"
quietly cmake cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}"
quietly build nice cmake --build "$build" --target tidewire tidewire_bench
quietly cmake-floor cmake -S "$root/bench/floor" -B "$build/floor" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}"
quietly build-floor nice cmake --build "$build/floor"

if [ "$quick" -eq 1 ]; then
  idle_s=5; load_s=5; requests=100; rss_s=90; min_time=0.05; rate_s=2
else
  idle_s=30; load_s=30; requests=1000; rss_s=3600; min_time=1; rate_s=5
fi

# ---- 1. per-sentence cost
if has sentence; then
  say "per-sentence benchmark: time"
  export TMPDIR="$work"  # the benchmark's NMEA log goes under the temporary folder
  "$build/tidewire_bench" --benchmark_filter='InterpretModemLine$' \
    --benchmark_min_time="$min_time" --benchmark_format=json >"$work/sentence-time.json" 2>/dev/null
  say "per-sentence benchmark: instructions (callgrind)"
  nice valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" \
    "$build/tidewire_bench" --benchmark_filter=InterpretModemLine_Fixed \
    >/dev/null 2>"$work/callgrind.log" || { cat "$work/callgrind.log" >&2; exit 1; }
  python3 "$root/bench/callgrind_per_call.py" "$work/callgrind.out" \
    "ModemInterpreter::InterpretModemLine" >"$work/sentence-callgrind.json"
  python3 - "$work" <<'PY'
import json, os, sys
work = sys.argv[1]
t = json.load(open(os.path.join(work, "sentence-time.json")))
b = [x for x in t["benchmarks"] if x["name"].startswith("BM_InterpretModemLine")][0]
if b.get("error_occurred"):
    sys.exit("per-sentence benchmark failed: %s" % b.get("error_message"))
c = json.load(open(os.path.join(work, "sentence-callgrind.json")))
# One iteration is one poll's worth of sentences; the benchmark counts them.
json.dump({"ns_per_sentence": 1e9 / b["items_per_second"], "iterations": b["iterations"],
           "instructions_per_sentence": c["per_call"], "calls": c["calls"]},
          open(os.path.join(work, "sentence.json"), "w"))
PY
  unset TMPDIR
fi

# ---- 2, 3. the program on a display
gui_sections=()
has compare && gui_sections+=(compare)
has latency && gui_sections+=(latency)
if [ ${#gui_sections[@]} -gt 0 ]; then
  skip=()
  [ "$cutecom" -eq 0 ] && skip=(--skip-cutecom)
  python3 "$root/bench/gui_bench.py" --tidewire "$build/tidewire" --bare "$build/floor/bare_window" \
    --sections "$(IFS=,; echo "${gui_sections[*]}")" --display "$display" --work "$work/gui" \
    --json "$work/gui.json" --idle-s "$idle_s" --load-s "$load_s" --requests "$requests" \
    --reps "$reps" "${skip[@]}"
fi

# ---- 4. the receive path's highest steady rate, without a display
if has linerate; then
  say "line rate: 48-byte sentences at 115,200 baud, highest steady rate with nothing lost"
  python3 "$root/bench/line_rate.py" --tidewire "$build/tidewire" --work "$work/linerate" \
    --json "$work/linerate.json" --baud 115200 --seconds "$rate_s" --cap 2400 >/dev/null
fi

# ---- 5. memory over an hour
if has rss; then
  # A copy, so that a rebuild during the hour cannot touch the program being measured.
  mkdir -p "$work/rss"
  cp "$build/tidewire" "$work/rss/tidewire"
  python3 "$root/bench/gui_bench.py" --tidewire "$work/rss/tidewire" --sections rss \
    --display "$display" --work "$work/rss" --json "$work/rss.json" --rss-s "$rss_s"
fi

# ---- 6. the cruise summary of a week of logs
if has summary; then
  say "cruise summary: a generated week of NMEA logs, one record a second"
  TW_SUMMARY_WEEK="$work/summary-week" "$build/tidewire_bench" \
    --benchmark_filter=SummaryOfAWeek --benchmark_format=json >"$work/summary-time.json" 2>/dev/null
  python3 - "$work" "$build/tidewire" <<'PY'
import json, os, statistics, subprocess, sys, time
work, tidewire = sys.argv[1], sys.argv[2]
b = json.load(open(os.path.join(work, "summary-time.json")))["benchmarks"][0]
if b.get("error_occurred"):
    sys.exit("summary benchmark failed: %s" % b.get("error_message"))
runs = []
for _ in range(3):
    start = time.monotonic()
    subprocess.run([tidewire, "--summary", os.path.join(work, "summary-week", "Logs")],
                   check=True, stdout=subprocess.DEVNULL)
    runs.append(time.monotonic() - start)
json.dump({"records": b["records"], "in_process_s": b["real_time"] / 1000.0,
           "command_s": statistics.median(runs)}, open(os.path.join(work, "summary.json"), "w"))
PY
fi

echo
echo "Tidewire benchmark, $(date -u '+%Y-%m-%d %H:%M UTC'), Release build of $measured$([ "$quick" -eq 1 ] && echo ', --quick: short runs, not figures to quote')"
echo
python3 "$root/bench/summary.py" --sentence "$work/sentence.json" --gui "$work/gui.json" \
  --rss "$work/rss.json" --linerate "$work/linerate.json"
if [ -f "$work/summary.json" ]; then
  python3 - "$work/summary.json" <<'PY'
import json, sys
s = json.load(open(sys.argv[1]))
ok = "met" if s["command_s"] < 2.0 else "NOT met"
print("\nCruise summary of a week (%d records): %.3f s in process, %.3f s as"
      " `tidewire --summary` (median of 3); goal under 2 s: %s"
      % (s["records"], s["in_process_s"], s["command_s"], ok))
PY
fi
