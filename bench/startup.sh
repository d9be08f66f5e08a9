#!/bin/bash
# Start-up cost of the menu against a minimal SDL program (bench_minimal_wait): wall time from
# the start until the window is shown and has answered an Escape, and peak memory. Goals: the
# menu's median time within 1.2 times the minimal program's, its peak memory at most 8 MiB
# above the minimal program's.
#
#   bench/startup.sh [BUILD_DIR]
#
# BUILD_DIR (default build/) holds menu, its four demo pictures and bench_minimal_wait:
#   cmake -S . -B build-bench -DMENU_BENCH=ON -DMENU_TESTS=OFF -DCMAKE_BUILD_TYPE=Release
#   cmake --build build-bench -j2 --target menu demo_pictures_files bench_minimal_wait
#   bench/startup.sh build-bench
#
# Both programs run under one private Xvfb (1024x768 desktop with a 640x480 mode added, so the
# menu really switches), each from a temporary folder (the menu beside its four pictures, which
# it loads when its window is activated), with a fresh XDG_CONFIG_HOME for every run.
#
# Time: the same script for both, RUNS times (default 10) after one untimed warm-up, the two
# programs taking turns so that a change in the machine's load touches both alike:
#   T0=$(date +%s%N); start it; wait for its window; read VmHWM; xdotool key Escape;
#   wait for its end; T1=$(date +%s%N)
# and the median is compared. VmHWM is read (with shell builtins) just before the Escape.
# Waiting for the window is `xdotool search --onlyvisible --pid` every POLL_SECONDS (default
# 0.01): `xdotool search --sync` retries only every 500 ms, which would round every figure up
# to the next half second. --onlyvisible waits for the window to be mapped, so that the Escape
# reaches it.
# Memory: MEMORY_RUNS more runs (default 3) under GNU time (package `time`), whose maximum
# resident set size covers the whole life, the pictures and the end included; the median is
# compared. A guardian process under the menu is reported on its own (VmHWM before Escape).
# Needs Xvfb, xrandr, xdotool and /usr/bin/time.
set -u

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build}" 2>/dev/null && pwd) || { echo "startup.sh: no build folder ${1:-$ROOT/build}" >&2; exit 1; }
RUNS=${RUNS:-10}
POLL_SECONDS=${POLL_SECONDS:-0.01}
WINDOW_TRIES=$(awk -v p="$POLL_SECONDS" 'BEGIN { print int(30 / p) }')
MEMORY_RUNS=${MEMORY_RUNS:-3}
PICTURES=(menu1.bmp menu2.bmp credits1.bmp credits2.bmp)
TIME_FACTOR_PERCENT=120
MEMORY_ALLOWANCE_KB=8192

fail() { echo "startup.sh: $*" >&2; exit 1; }

for TOOL in Xvfb xrandr xdotool; do command -v "$TOOL" >/dev/null || fail "needs $TOOL"; done
[ -x /usr/bin/time ] || fail "needs GNU time at /usr/bin/time (apt-get install time)"
for FILE in menu bench_minimal_wait "${PICTURES[@]}"; do
  [ -e "$BUILD/$FILE" ] || fail "no $FILE in $BUILD (build menu, demo_pictures_files and bench_minimal_wait there)"
done

WORK=$(mktemp -d)
XVFB=""
PROGRAM_PID=""
cleanup() {
  [ -n "$PROGRAM_PID" ] && kill -9 "$PROGRAM_PID" 2>/dev/null
  [ -n "$XVFB" ] && kill "$XVFB" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT

# A private X server on a display number it picks itself (-displayfd), so runs beside other
# tests never clash; -noreset keeps the added mode when the last client leaves.
Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
XVFB=$!
for _ in $(seq 1000); do grep -q . "$WORK/display" 2>/dev/null && break; sleep 0.01; done
grep -q . "$WORK/display" || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
export DISPLAY=":$(head -n 1 "$WORK/display")"
xrandr --newmode 640x480 25.175 640 656 752 800 480 490 492 525 -hsync -vsync >/dev/null || fail "cannot add the mode"
xrandr --addmode screen 640x480 || fail "cannot add the mode"

# Each program in its own folder, the menu beside its pictures.
mkdir -p "$WORK/menu" "$WORK/bench_minimal_wait"
cp "$BUILD/menu" "$WORK/menu/"
for FILE in "${PICTURES[@]}"; do cp "$BUILD/$FILE" "$WORK/menu/"; done
cp "$BUILD/bench_minimal_wait" "$WORK/bench_minimal_wait/"

# Sets FIELD to a field of /proc/PID/status (empty when gone), without starting a process.
read_field() {
  FIELD=""
  local KEY VALUE REST
  while read -r KEY VALUE REST; do
    [ "$KEY" = "$1:" ] && { FIELD=$VALUE; return; }
  done <"/proc/$2/status" 2>/dev/null
}

# Waits until the program's window is mapped; false after 30 s.
wait_for_window() {
  local TRIES=$WINDOW_TRIES
  while ! xdotool search --onlyvisible --pid "$1" >/dev/null 2>&1; do
    TRIES=$((TRIES - 1))
    [ "$TRIES" -gt 0 ] && kill -0 "$1" 2>/dev/null || return 1
    sleep "$POLL_SECONDS"
  done
}

fresh_config() {
  rm -rf "$WORK/config"
  mkdir -p "$WORK/config"
}

# Ends a program that did not end on Escape, and gives the desktop its mode back, outside
# the timed part.
tidy_up() {
  local NAME=$1
  if [ -n "$PROGRAM_PID" ]; then
    kill -9 "$PROGRAM_PID" 2>/dev/null && echo "startup.sh: $NAME did not end on Escape; killed" >&2
    wait "$PROGRAM_PID" 2>/dev/null
    PROGRAM_PID=""
  fi
  if ! xrandr --current | grep -q 'current 1024 x 768'; then
    echo "startup.sh: $NAME left the screen at $(xrandr --current | sed -n 's/.*current \([0-9]* x [0-9]*\),.*/\1/p')" >&2
    xrandr --output screen --mode 1024x768 >/dev/null 2>&1
  fi
}

# One timed run; sets ELAPSED_MS (with a fraction) and HWM_KB.
timed_run() {
  local NAME=$1 T0 T1
  fresh_config
  T0=$(date +%s%N)
  (cd "$WORK/$NAME" && XDG_CONFIG_HOME="$WORK/config" exec "./$NAME") >>"$WORK/$NAME.log" 2>&1 &
  PROGRAM_PID=$!
  wait_for_window "$PROGRAM_PID" || fail "$NAME showed no window: $(cat "$WORK/$NAME.log")"
  read_field VmHWM "$PROGRAM_PID"
  HWM_KB=$FIELD
  xdotool key Escape
  # A program that ignores the Escape must not hang the script.
  (sleep 30 && kill -9 "$PROGRAM_PID") 2>/dev/null &
  local WATCHDOG=$!
  wait "$PROGRAM_PID"
  local STATUS=$?
  T1=$(date +%s%N)
  kill "$WATCHDOG" 2>/dev/null
  wait "$WATCHDOG" 2>/dev/null
  PROGRAM_PID=""
  [ "$STATUS" -eq 0 ] || echo "startup.sh: $NAME ended with status $STATUS" >&2
  tidy_up "$NAME"
  ELAPSED_MS=$(awk -v a="$T0" -v b="$T1" 'BEGIN { printf "%.1f", (b - a) / 1e6 }')
}

# One run under GNU time; sets MAXRSS_KB and GUARDIAN_KB (empty without a guardian).
memory_run() {
  local NAME=$1 CHILD
  fresh_config
  (cd "$WORK/$NAME" && XDG_CONFIG_HOME="$WORK/config" exec /usr/bin/time -f %M -o "$WORK/maxrss" "./$NAME") \
    >>"$WORK/$NAME.log" 2>&1 &
  local TIME_PID=$!
  for _ in $(seq 500); do
    PROGRAM_PID=$(pgrep -P "$TIME_PID")
    [ -n "$PROGRAM_PID" ] && break
    sleep 0.01
  done
  [ -n "$PROGRAM_PID" ] || fail "$NAME did not start under GNU time"
  wait_for_window "$PROGRAM_PID" || fail "$NAME showed no window: $(cat "$WORK/$NAME.log")"
  # The menu loads its pictures on activation, after the window is shown: give it time to
  # reach its idle state before reading the guardian's figure.
  sleep 1
  GUARDIAN_KB=""
  for CHILD in $(pgrep -P "$PROGRAM_PID"); do
    read_field VmHWM "$CHILD"
    GUARDIAN_KB=$FIELD
  done
  xdotool key Escape
  wait "$TIME_PID"
  PROGRAM_PID=""
  tidy_up "$NAME"
  MAXRSS_KB=$(tail -n 1 "$WORK/maxrss")
}

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
range() { sort -g | awk 'NR == 1 { lo = $1 } { hi = $1 } END { print lo "-" hi }'; }

echo "start-up: $RUNS timed runs each (after one warm-up), $MEMORY_RUNS memory runs each; DISPLAY=$DISPLAY, $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
timed_run menu
timed_run bench_minimal_wait
MENU_TIMES=()
MINIMAL_TIMES=()
MENU_HWM=()
MINIMAL_HWM=()
for RUN in $(seq "$RUNS"); do
  timed_run menu
  MENU_TIMES+=("$ELAPSED_MS")
  MENU_HWM+=("$HWM_KB")
  timed_run bench_minimal_wait
  MINIMAL_TIMES+=("$ELAPSED_MS")
  MINIMAL_HWM+=("$HWM_KB")
  printf '  run %2d: menu %8s ms %7s kB   bench_minimal_wait %8s ms %7s kB\n' "$RUN" "${MENU_TIMES[-1]}" \
    "${MENU_HWM[-1]}" "${MINIMAL_TIMES[-1]}" "${MINIMAL_HWM[-1]}"
done
MENU_RSS=()
MINIMAL_RSS=()
MENU_GUARDIAN=()
for RUN in $(seq "$MEMORY_RUNS"); do
  memory_run menu
  MENU_RSS+=("$MAXRSS_KB")
  [ -n "$GUARDIAN_KB" ] && MENU_GUARDIAN+=("$GUARDIAN_KB")
  memory_run bench_minimal_wait
  MINIMAL_RSS+=("$MAXRSS_KB")
  printf '  memory run %d: menu %7s kB   bench_minimal_wait %7s kB (GNU time maximum resident set size)\n' "$RUN" \
    "${MENU_RSS[-1]}" "${MINIMAL_RSS[-1]}"
done

MENU_TIME=$(printf '%s\n' "${MENU_TIMES[@]}" | median)
MINIMAL_TIME=$(printf '%s\n' "${MINIMAL_TIMES[@]}" | median)
MENU_PEAK=$(printf '%s\n' "${MENU_RSS[@]}" | median)
MINIMAL_PEAK=$(printf '%s\n' "${MINIMAL_RSS[@]}" | median)
echo
printf '  %-44s %16s %22s\n' "" "menu" "bench_minimal_wait"
printf '  %-44s %13s ms %19s ms\n' "median time to window + Escape answered" "$MENU_TIME" "$MINIMAL_TIME"
printf '  %-44s %13s ms %19s ms\n' "fastest-slowest" "$(printf '%s\n' "${MENU_TIMES[@]}" | range)" \
  "$(printf '%s\n' "${MINIMAL_TIMES[@]}" | range)"
printf '  %-44s %13s kB %19s kB\n' "median VmHWM just before Escape" "$(printf '%s\n' "${MENU_HWM[@]}" | median)" \
  "$(printf '%s\n' "${MINIMAL_HWM[@]}" | median)"
printf '  %-44s %13s kB %19s kB\n' "median peak memory, whole life (GNU time)" "$MENU_PEAK" "$MINIMAL_PEAK"
if [ ${#MENU_GUARDIAN[@]} -gt 0 ]; then
  printf '  %-44s %13s kB\n' "menu's guardian process (VmHWM)" "$(printf '%s\n' "${MENU_GUARDIAN[@]}" | median)"
else
  printf '  %-44s %16s\n' "menu's guardian process" "none"
fi
TIME_LIMIT=$(awk -v m="$MINIMAL_TIME" -v p="$TIME_FACTOR_PERCENT" 'BEGIN { printf "%.1f", m * p / 100 }')
MEMORY_LIMIT=$(awk -v m="$MINIMAL_PEAK" -v a="$MEMORY_ALLOWANCE_KB" 'BEGIN { print m + a }')
TIME_MET=$(awk -v t="$MENU_TIME" -v l="$TIME_LIMIT" 'BEGIN { print (t <= l) ? "met" : "MISSED" }')
MEMORY_MET=$(awk -v t="$MENU_PEAK" -v l="$MEMORY_LIMIT" 'BEGIN { print (t <= l) ? "met" : "MISSED" }')
echo "  goal time: menu ${MENU_TIME} ms <= 1.2 x ${MINIMAL_TIME} ms = ${TIME_LIMIT} ms: $TIME_MET" \
  "(ratio $(awk -v a="$MENU_TIME" -v b="$MINIMAL_TIME" 'BEGIN { printf "%.2f", a / b }'))"
echo "  goal memory: menu ${MENU_PEAK} kB <= ${MINIMAL_PEAK} kB + 8 MiB = ${MEMORY_LIMIT} kB: $MEMORY_MET" \
  "(difference $(awk -v a="$MENU_PEAK" -v b="$MINIMAL_PEAK" 'BEGIN { printf "%+d", a - b }') kB)"
