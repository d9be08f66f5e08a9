#!/bin/bash
# What a program costs while nobody touches it: CPU time and voluntary context switches (each
# one a wake-up from a blocking call) over IDLE_SECONDS, for the menu and for a minimal SDL
# program that polls with a 1 ms sleep, side by side. Goal: the menu has zero wake-ups.
#
#   bench/idle.sh [BUILD_DIR]
#
# BUILD_DIR (default build/) holds menu, its four demo pictures and bench_minimal_poll:
#   cmake -S . -B build-bench -DMENU_BENCH=ON -DMENU_TESTS=OFF -DCMAKE_BUILD_TYPE=Release
#   cmake --build build-bench -j2 --target menu demo_pictures_files bench_minimal_poll
#   bench/idle.sh build-bench
#
# Each program runs under a private Xvfb (1024x768 desktop with a 640x480 mode added, so the
# menu really switches), from a temporary folder, with a fresh XDG_CONFIG_HOME. The idle window
# starts SETTLE_SECONDS (default 1) after the program's window appeared, so that the menu's
# activation (pictures, display switch, first paint) is over; it lasts IDLE_SECONDS (default 10).
# Switches are summed over the process's threads (/proc/PID/task/*/status); CPU time is
# utime+stime of the whole process (/proc/PID/stat). A guardian process under the menu is
# reported on its own line. Needs Xvfb, xrandr, xdotool.
set -u

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build}" 2>/dev/null && pwd) || { echo "idle.sh: no build folder ${1:-$ROOT/build}" >&2; exit 1; }
IDLE_SECONDS=${IDLE_SECONDS:-10}
SETTLE_SECONDS=${SETTLE_SECONDS:-1}
PICTURES=(menu1.bmp menu2.bmp credits1.bmp credits2.bmp)
TICKS_PER_SECOND=$(getconf CLK_TCK)

fail() { echo "idle.sh: $*" >&2; exit 1; }

for TOOL in Xvfb xrandr xdotool; do command -v "$TOOL" >/dev/null || fail "needs $TOOL"; done
for FILE in menu bench_minimal_poll "${PICTURES[@]}"; do
  [ -e "$BUILD/$FILE" ] || fail "no $FILE in $BUILD (build menu, demo_pictures_files and bench_minimal_poll there)"
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

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null; }
# One line per thread: TID NAME VOLUNTARY_SWITCHES.
thread_switches() {
  local TASK
  for TASK in /proc/"$1"/task/*; do
    awk -v tid="${TASK##*/}" '$1 == "Name:" { name = $2 } $1 == "voluntary_ctxt_switches:" { print tid, name, $2 }' \
      "$TASK/status" 2>/dev/null
  done
}
milliseconds() { echo $(( $1 * 1000 / TICKS_PER_SECOND )); }

# Prints "CPU_MS SWITCHES" for a process over the idle window, and its threads on stderr;
# SNAPSHOT_BEFORE and TICKS_BEFORE come from before the window.
report_process() {
  local PID=$1 LABEL=$2 BEFORE=$3 TICKS_BEFORE=$4
  local AFTER TICKS_AFTER TOTAL=0 TID NAME COUNT OLD
  AFTER=$(thread_switches "$PID")
  TICKS_AFTER=$(cpu_ticks "$PID")
  while read -r TID NAME COUNT; do
    OLD=$(awk -v tid="$TID" '$1 == tid { print $3 }' <<<"$BEFORE")
    TOTAL=$((TOTAL + COUNT - ${OLD:-0}))
    printf '    %-22s thread %-7s %-16s +%d voluntary switches\n' "$LABEL" "$TID" "$NAME" $((COUNT - ${OLD:-0})) >&2
  done <<<"$AFTER"
  while read -r TID NAME COUNT; do
    grep -q "^$TID " <<<"$AFTER" || printf '    %-22s thread %-7s %-16s ended during the window\n' "$LABEL" "$TID" "$NAME" >&2
  done <<<"$BEFORE"
  echo "$(milliseconds $((TICKS_AFTER - TICKS_BEFORE))) $TOTAL"
}

# Runs one program untouched over the idle window; sets RESULT, and GUARDIAN_RESULT when a
# guardian process runs under it.
measure() {
  local NAME=$1 FOLDER="$WORK/$1"
  shift
  mkdir -p "$FOLDER" "$FOLDER.config"
  cp "$BUILD/$NAME" "$FOLDER/"
  for FILE in "$@"; do cp "$BUILD/$FILE" "$FOLDER/"; done
  (cd "$FOLDER" && XDG_CONFIG_HOME="$FOLDER.config" exec "./$NAME") >"$FOLDER.log" 2>&1 &
  PROGRAM_PID=$!
  timeout 30 xdotool search --sync --onlyvisible --pid "$PROGRAM_PID" >/dev/null || fail "$NAME showed no window: $(cat "$FOLDER.log")"
  sleep "$SETTLE_SECONDS"
  kill -0 "$PROGRAM_PID" 2>/dev/null || fail "$NAME ended by itself: $(cat "$FOLDER.log")"

  local GUARDIAN="" CHILD
  for CHILD in $(pgrep -P "$PROGRAM_PID"); do GUARDIAN=$CHILD; done
  local BEFORE TICKS_BEFORE GUARDIAN_BEFORE="" GUARDIAN_TICKS_BEFORE=""
  BEFORE=$(thread_switches "$PROGRAM_PID")
  TICKS_BEFORE=$(cpu_ticks "$PROGRAM_PID")
  if [ -n "$GUARDIAN" ]; then
    GUARDIAN_BEFORE=$(thread_switches "$GUARDIAN")
    GUARDIAN_TICKS_BEFORE=$(cpu_ticks "$GUARDIAN")
  fi
  sleep "$IDLE_SECONDS"
  SCREEN=$(xrandr --current | sed -n 's/.*current \([0-9]*\) x \([0-9]*\),.*/\1x\2/p')
  echo "    $NAME: screen ${SCREEN} at the end of the window" >&2
  RESULT=$(report_process "$PROGRAM_PID" "$NAME" "$BEFORE" "$TICKS_BEFORE")
  GUARDIAN_RESULT=""
  if [ -n "$GUARDIAN" ] && [ -d "/proc/$GUARDIAN" ]; then
    GUARDIAN_RESULT=$(report_process "$GUARDIAN" "$NAME guardian ($GUARDIAN)" "$GUARDIAN_BEFORE" "$GUARDIAN_TICKS_BEFORE")
  fi

  xdotool key Escape
  for _ in $(seq 500); do kill -0 "$PROGRAM_PID" 2>/dev/null || break; sleep 0.01; done
  kill -0 "$PROGRAM_PID" 2>/dev/null && { echo "idle.sh: $NAME did not end on Escape; killed" >&2; kill -9 "$PROGRAM_PID"; }
  wait "$PROGRAM_PID" 2>/dev/null
  PROGRAM_PID=""
  # Whatever happened, the next program starts on the desktop's mode.
  xrandr --output screen --mode 1024x768 >/dev/null 2>&1
}

echo "idle cost over ${IDLE_SECONDS} s, from ${SETTLE_SECONDS} s after the window appeared (DISPLAY=$DISPLAY, $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg))"
echo "  per thread:"
measure menu "${PICTURES[@]}"
MENU_RESULT=$RESULT
MENU_GUARDIAN=$GUARDIAN_RESULT
measure bench_minimal_poll
POLL_RESULT=$RESULT

read -r MENU_MS MENU_SWITCHES <<<"$MENU_RESULT"
read -r POLL_MS POLL_SWITCHES <<<"$POLL_RESULT"
echo
printf '  %-36s %12s %20s\n' "" "CPU time" "voluntary switches"
printf '  %-36s %9d ms %20d\n' "menu" "$MENU_MS" "$MENU_SWITCHES"
if [ -n "$MENU_GUARDIAN" ]; then
  read -r GUARDIAN_MS GUARDIAN_SWITCHES <<<"$MENU_GUARDIAN"
  printf '  %-36s %9d ms %20d\n' "menu's guardian process" "$GUARDIAN_MS" "$GUARDIAN_SWITCHES"
else
  printf '  %-36s %12s %20s\n' "menu's guardian process" "none" ""
fi
printf '  %-36s %9d ms %20d\n' "bench_minimal_poll (reference)" "$POLL_MS" "$POLL_SWITCHES"
TOTAL=$((MENU_SWITCHES + ${GUARDIAN_SWITCHES:-0}))
if [ "$TOTAL" -eq 0 ]; then
  echo "  goal (zero wake-ups while idle): met"
else
  echo "  goal (zero wake-ups while idle): MISSED ($TOTAL wake-ups)"
fi
