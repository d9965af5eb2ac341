#!/usr/bin/env bash
# Shows the same scripted modem stream to two builds of Tidewire under Xvfb
# and compares their screens pixel for pixel at the same moments: a few lines,
# a screen that has scrolled, the view scrolled down and right, and lines
# arriving while it is. The clock is frozen (faketime) so the time stamps
# match; every pixel must match too.
#
#   scripts/compare-screens.sh OLD/tidewire NEW/tidewire [options]
#     --display :N     Xvfb display to start (default :41)
#     --out DIR        where the screenshots and differences go
#                      (default /tmp/tidewire-screens)
#     --arg ARG        one more command-line argument for both programs
#                      (repeatable), e.g. --arg --config --arg fixed-font.xml
#
# Exit code 0 when every moment matches, 1 when one differs, 2 on a fault.
# Needs: Xvfb, socat, xdotool, x11-utils, faketime, ImageMagick (import, compare).
set -euo pipefail

usage() { sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }
[ $# -ge 2 ] || usage
OLD=$(realpath "$1")
NEW=$(realpath "$2")
shift 2
DISPLAY_NO=:41
OUT=/tmp/tidewire-screens
EXTRA=()
while [ $# -gt 0 ]; do
  case "$1" in
    --display) DISPLAY_NO=$2; shift 2 ;;
    --out) OUT=$2; shift 2 ;;
    --arg) EXTRA+=("$2"); shift 2 ;;
    *) usage ;;
  esac
done
for tool in Xvfb xdpyinfo xwininfo socat xdotool import compare; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 2; }
done
FAKETIME_LIB=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -1)
[ -n "$FAKETIME_LIB" ] || { echo "missing: libfaketime (Debian package faketime)" >&2; exit 2; }

mkdir -p "$OUT"
WORK=$(mktemp -d /tmp/tidewire-screens.XXXXXX)
PIDS=()
cleanup() {
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

export DISPLAY=$DISPLAY_NO
Xvfb "$DISPLAY_NO" -screen 0 1280x1024x24 -noreset >"$WORK/xvfb.log" 2>&1 &
PIDS+=($!)
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { echo "Xvfb $DISPLAY_NO did not start" >&2; exit 2; }

# One line of the stream: modem-like sentences of 15 to 90 bytes, so some
# run past the right edge of the screen.
line() {
  local i=$1 k=$(( (i * 7) % 38 ))
  local hex=0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789
  printf '$CAXYZ,%03d,%s*00\r\n' "$((i % 1000))" "${hex:0:$((k * 2))}"
}

# Writes lines FROM..TO into the far end at 25 a second (the program takes
# one per 20 ms poll), then waits until the program has shown the last one
# (its --echo copy of the screen's lines), however busy the machine is.
feed() {
  local from=$1 to=$2 far=$3 i
  for ((i = from; i <= to; i++)); do line "$i" >"$far"; sleep 0.04; done
  local last
  last=$(printf 'CAXYZ,%03d,' "$((to % 1000))")
  for _ in $(seq 600); do grep -q "$last" "$ECHO" && break; sleep 0.1; done
  grep -q "$last" "$ECHO" || { echo "line $to never shown" >&2; exit 2; }
}

shot() {  # name
  sleep 0.8
  import -window root "$RUN_DIR/$1.png"
}

MOMENTS=(few scrolled paged paged-lines right right-lines)

run() {  # label binary
  local label=$1 bin=$2
  RUN_DIR="$OUT/$label"
  mkdir -p "$RUN_DIR"
  socat pty,raw,echo=0,link="$WORK/ttyA" pty,raw,echo=0,link="$WORK/ttyB" 2>"$WORK/socat.log" &
  local socat=$!
  PIDS+=("$socat")
  for _ in $(seq 50); do [ -e "$WORK/ttyB" ] && break; sleep 0.1; done
  # Keep the far end open between writes, so the pair never hangs up.
  exec 7<>"$WORK/ttyB"
  local home
  home=$(mktemp -d "$WORK/home.XXXXXX")
  ECHO="$WORK/$label.log"
  # A frozen wall clock (no "@", so it does not run on); timers use the real
  # monotonic clock. The library is preloaded into the program itself, so
  # the process started here is the program and ends with it.
  LD_PRELOAD="$FAKETIME_LIB" FAKETIME='2007-03-03 12:34:56' DONT_FAKE_MONOTONIC=1 \
    "$bin" --home "$home" --com 1="$WORK/ttyA" --connect --echo "${EXTRA[@]}" >"$ECHO" 2>&1 &
  local app=$!
  PIDS+=("$app")
  local wid=""
  for _ in $(seq 300); do
    wid=$(xdotool search --onlyvisible --class tidewire 2>/dev/null | head -1 || true)
    [ -n "$wid" ] && break
    sleep 0.1
  done
  [ -n "$wid" ] || { echo "$label: no window" >&2; exit 2; }
  for _ in $(seq 100); do xdotool getwindowname "$wid" | grep -q 'COM1' && break; sleep 0.1; done
  # The caret appears when the focus comes to a connected window: take the
  # focus away and give it back, until the window really has it.
  local root focused=""
  root=$(xwininfo -root | awk '/Window id:/ {print $4}')
  for _ in $(seq 20); do
    xdotool windowfocus --sync "$root" 2>/dev/null || true
    sleep 0.2
    xdotool windowfocus --sync "$wid" 2>/dev/null || true
    sleep 0.3
    focused=$(xdotool getwindowfocus 2>/dev/null || true)
    [ "$focused" = "$wid" ] && break
  done
  [ "$focused" = "$wid" ] || { echo "$label: window never got the focus" >&2; exit 2; }

  feed 1 12 "$WORK/ttyB"; shot few
  feed 13 70 "$WORK/ttyB"; shot scrolled
  xdotool key Next; shot paged
  feed 71 95 "$WORK/ttyB"; shot paged-lines
  xdotool key Right Right Right; shot right
  feed 96 120 "$WORK/ttyB"; shot right-lines

  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
  exec 7>&-
  kill "$socat" 2>/dev/null || true
  wait "$socat" 2>/dev/null || true
  rm -f "$WORK/ttyA" "$WORK/ttyB"
}

run old "$OLD"
run new "$NEW"

status=0
for m in "${MOMENTS[@]}"; do
  # compare prints the count of differing pixels on stderr and exits 1 on a
  # difference; the count is what is reported.
  diff=$(compare -metric AE "$OUT/old/$m.png" "$OUT/new/$m.png" "$OUT/diff-$m.png" 2>&1 >/dev/null || true)
  echo "$m: $diff pixels differ"
  [ "$diff" = "0" ] || status=1
done
[ $status -eq 0 ] && echo "all moments match" || echo "screens differ (see $OUT/diff-*.png)"
exit $status
