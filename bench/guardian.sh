#!/bin/bash
# Measures the display-mode guardian: its memory and its cost while the menu idles, and the time
# from a SIGKILL of the menu until the desktop has its mode back.
#
#   bench/guardian.sh [PROGRAM [ARGS...]]
#
# PROGRAM defaults to build/menu. It runs under a private Xvfb (1024x768 desktop with a 640x480
# mode added), with a private profile folder; it must switch the display to 640x480 and start
# its guardian. Needs Xvfb, xrandr.
set -u

ROOT=$(cd "$(dirname "$0")/.." && pwd)
PROGRAM=("$@")
[ ${#PROGRAM[@]} -eq 0 ] && PROGRAM=("$ROOT/build/menu")
IDLE_SECONDS=${IDLE_SECONDS:-10}
SECTION=Dustrover97
KEY=Action

fail() { echo "guardian.sh: $*" >&2; exit 1; }
now_ms() { local T=${EPOCHREALTIME/[.,]/}; echo $((T / 1000)); }
# Sets FIELD to a field of /proc/PID/status (empty when gone), without starting a process.
read_field() {
  FIELD=""
  local KEY VALUE REST
  while read -r KEY VALUE REST; do
    [ "$KEY" = "$1:" ] && { FIELD=$VALUE; return; }
  done <"/proc/$2/status" 2>/dev/null
}
field() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$2/status" 2>/dev/null; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null; }
screen_size() { xrandr --current 2>/dev/null | sed -n 's/.*current \([0-9]*\) x \([0-9]*\),.*/\1x\2/p'; }

[ -x "${PROGRAM[0]}" ] || fail "no program at ${PROGRAM[0]} (build it first, or pass one)"
command -v Xvfb >/dev/null && command -v xrandr >/dev/null || fail "needs Xvfb and xrandr"

# A free display number.
NUMBER=57
while [ -e "/tmp/.X11-unix/X$NUMBER" ] || [ -e "/tmp/.X$NUMBER-lock" ]; do NUMBER=$((NUMBER + 1)); done
export DISPLAY=":$NUMBER"
WORK=$(mktemp -d)
Xvfb "$DISPLAY" -screen 0 1024x768x24 -noreset >"$WORK/xvfb.log" 2>&1 &
XVFB=$!
MENU=""
cleanup() {
  [ -n "$MENU" ] && kill -9 "$MENU" 2>/dev/null
  kill "$XVFB" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
for _ in $(seq 200); do xrandr --current >/dev/null 2>&1 && break; sleep 0.02; done
xrandr --newmode 640x480 25.175 640 656 752 800 480 490 492 525 -hsync -vsync || fail "cannot add the mode"
xrandr --addmode screen 640x480 || fail "cannot add the mode"
DESKTOP=$(screen_size)

export XDG_CONFIG_HOME="$WORK/config"
mkdir -p "$XDG_CONFIG_HOME"
printf '[%s]\n%s=4\n' "$SECTION" "$KEY" >"$XDG_CONFIG_HOME/win.ini"

(cd "$(dirname "${PROGRAM[0]}")" && exec "${PROGRAM[@]}") >"$WORK/menu.log" 2>&1 &
MENU=$!

GUARDIAN=""
for _ in $(seq 500); do
  for CHILD in $(pgrep -P "$MENU"); do
    tr '\0' ' ' <"/proc/$CHILD/cmdline" 2>/dev/null | grep -q -- '--menu-guardian' && GUARDIAN=$CHILD
  done
  [ -n "$GUARDIAN" ] && [ "$(screen_size)" = "640x480" ] && break
  sleep 0.02
done
[ -n "$GUARDIAN" ] || fail "no guardian process under the menu (pid $MENU); menu output: $(cat "$WORK/menu.log")"
[ "$(screen_size)" = "640x480" ] || fail "the menu did not switch to 640x480"
sleep 0.5

echo "guardian pid $GUARDIAN of menu pid $MENU; desktop $DESKTOP, held $(screen_size)"
echo "guardian at rest: VmRSS $(field VmRSS "$GUARDIAN") kB, VmHWM $(field VmHWM "$GUARDIAN") kB"
SWITCHES_BEFORE=$(field voluntary_ctxt_switches "$GUARDIAN")
TICKS_BEFORE=$(cpu_ticks "$GUARDIAN")
MENU_SWITCHES_BEFORE=$(field voluntary_ctxt_switches "$MENU")
sleep "$IDLE_SECONDS"
echo "over ${IDLE_SECONDS} s of idle: guardian voluntary context switches +$(( $(field voluntary_ctxt_switches "$GUARDIAN") - SWITCHES_BEFORE )), CPU ticks +$(( $(cpu_ticks "$GUARDIAN") - TICKS_BEFORE )); menu main thread context switches +$(( $(field voluntary_ctxt_switches "$MENU") - MENU_SWITCHES_BEFORE ))"

# SIGKILL: the menu gets no chance to give the mode back; the guardian must.
PEAK=0
START_US=${EPOCHREALTIME/[.,]/}
START=$((START_US / 1000))
kill -9 "$MENU"
# A loop of shell builtins only, pausing 1 ms per round (a read that times out on a pipe nobody
# writes) so that it does not take the CPU from the guardian. VmHWM only grows, so the last value
# read is the peak up to a moment before the end.
exec {PAUSE}<> <(:)
while :; do
  read -r -t 0.001 -u "$PAUSE" _
  read_field VmHWM "$GUARDIAN"
  [ -z "$FIELD" ] && break
  [ "$FIELD" -gt "$PEAK" ] && PEAK=$FIELD
  read_field State "$GUARDIAN"
  [ "$FIELD" = "Z" ] && break
  NOW_US=${EPOCHREALTIME/[.,]/}
  [ $(( (NOW_US - START_US) / 1000 )) -gt 5000 ] && fail "the guardian is still running 5 s after the menu was killed"
done
GUARDIAN_DONE=$(now_ms)
until [ "$(screen_size)" = "$DESKTOP" ]; do
  [ $(( $(now_ms) - START )) -gt 5000 ] && fail "the desktop mode did not come back"
  sleep 0.005
done
SEEN=$(now_ms)
wait "$MENU" 2>/dev/null
MENU=""
echo "after SIGKILL: guardian done (mode restored, profile written) in $((GUARDIAN_DONE - START)) ms; xrandr saw $(screen_size) after $((SEEN - START)) ms"
echo "guardian peak memory (VmHWM, last seen): $PEAK kB"
echo "profile: $(grep -i "^$KEY=" "$XDG_CONFIG_HOME/win.ini")"
# The orphaned guardian is reaped by its new parent (PID 1 or a subreaper), not by us.
for _ in $(seq 100); do [ -d "/proc/$GUARDIAN" ] || break; sleep 0.01; done
if [ ! -d "/proc/$GUARDIAN" ]; then
  echo "guardian process ended and reaped"
else
  read_field State "$GUARDIAN"
  echo "guardian process still there, state $FIELD (Z: ended, its new parent has not reaped it yet)"
fi
