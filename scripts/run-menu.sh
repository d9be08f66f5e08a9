#!/bin/bash
# Builds the menu into build/ and starts it on this display. When it ends, says which result it
# wrote and where. Without a display it runs the menu on a virtual screen instead, saves a
# screenshot with one moon highlighted, and ends it with Escape.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-packages.sh
cmake -S . -B build
cmake --build build -j2 --target menu demo_pictures_files winprofile

config_home="${XDG_CONFIG_HOME:-}"
if [[ "$config_home" != /* ]]; then
  config_home="$HOME/.config"
fi

report_result() {
  echo "The menu wrote Action=$(build/winprofile get Dustrover97 Action "") in section [Dustrover97] of $config_home/win.ini"
}

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  status=0
  build/menu || status=$?
  echo "The menu ended with exit code $status."
  report_result
  exit "$status"
fi

echo "No display can be opened: showing the menu on a virtual screen."
work="$(mktemp -d)"
xvfb_pid=""
menu_pid=""
cleanup() {
  if [ -n "$menu_pid" ]; then kill "$menu_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# The server picks a free display number and writes it once it accepts connections.
Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 300); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
if [ ! -s "$work/display" ]; then
  echo "Xvfb did not start:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
DISPLAY=":$(head -n 1 "$work/display")"
export DISPLAY
# The 640x480 mode the menu switches to, as on a player's screen.
xrandr --newmode 640x480 25.175 640 656 752 800 480 490 492 525 -hsync -vsync
xrandr --addmode screen 640x480

build/menu &
menu_pid=$!
if ! timeout 30 xdotool search --sync --pid "$menu_pid" >/dev/null; then
  echo "The menu showed no window." >&2
  exit 1
fi
# Over the first moon, so that the screenshot shows a highlighted part too.
xdotool mousemove 86 180
sleep 1
screenshot=build/menu-screenshot.png
import -window root "$screenshot"
xdotool key Escape
status=0
wait "$menu_pid" || status=$?
menu_pid=""
echo "The menu ended with exit code $status."
report_result
echo "Screenshot of the menu: $(pwd)/$screenshot"
