#!/usr/bin/env bash
# Start-up of the window, km360r.exe under Wine against the Linux km360r, in a
# paired run: the two are started in turn, ROUNDS times each (5 unless given),
# on one virtual display with a window manager, and each start is timed from
# the command to its main window shown (a visible window of its title).
# Wine's server is kept running between the Windows starts, as on a desktop
# where Wine is already up; the first Windows start, which brings it up, is
# shown apart. Prints each side's median and spread, and the sizes.
#
#   bench/wine/window_startup.sh [BUILD_DIR [WINDOWS_WINDOW_BUILD_DIR [ROUNDS]]]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
wbuild=$(cd "${2:-$root/build-windows-window}" && pwd)
rounds=${3:-5}
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
export WINEPREFIX=${WINEPREFIX:-$wbuild/wine} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -d "$WINEPREFIX" ] || "$root/scripts/wine-prefix.sh" "$WINEPREFIX" >/dev/null

Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 1 500); do [ -s "$work/display" ] && break; sleep 0.01; done
export DISPLAY=:$(cat "$work/display")
openbox >/dev/null 2>&1 &
pids+=($!)

# Each side in a folder of its own, with an English config.ini.
mkdir -p "$work/linux" "$work/windows"
cp "$build/bin/km360r" "$work/linux/"
cp -r "$wbuild/bin/km360r.exe" "$wbuild/bin/translations" "$work/windows/"
for side in linux windows; do printf '[config]\r\nlanguage=1\r\n' >"$work/$side/config.ini"; done

# start SIDE: milliseconds from the command to the main window shown.
start() {
  local t0 t1 app
  t0=$(date +%s%N)
  if [ "$1" = linux ]; then "$work/linux/km360r" >/dev/null 2>&1 & else wine "$work/windows/km360r.exe" >/dev/null 2>&1 & fi
  app=$!
  # Looked for every 10 ms (xdotool's own --sync looks every half second).
  until xdotool search --onlyvisible --name 'Optical Power Meter' >/dev/null 2>&1; do sleep 0.01; done
  t1=$(date +%s%N)
  kill "$app" 2>/dev/null
  wait "$app" 2>/dev/null || true
  # Wine's window goes with its process; wait for it before the next start.
  while xdotool search --onlyvisible --name 'Optical Power Meter' >/dev/null 2>&1; do sleep 0.05; done
  echo $(((t1 - t0) / 1000000))
}

echo "first Windows start (Wine's server starting): $(start windows) ms"
: >"$work/linux.ms"
: >"$work/windows.ms"
for _ in $(seq 1 "$rounds"); do
  start linux >>"$work/linux.ms"
  start windows >>"$work/windows.ms"
done
for side in linux windows; do
  sort -n "$work/$side.ms" | awk -v side="$side" '{ v[NR] = $1 } END {
    printf "%-8s median %d ms (%d..%d ms, %d starts)\n", side, v[int((NR + 1) / 2)], v[1], v[NR], NR }'
done
printf 'km360r.exe: %d bytes (stripped); km360r (Linux): %d bytes\n' \
  "$(stat -c %s "$wbuild/bin/km360r.exe")" "$(stat -c %s "$build/bin/km360r")"
