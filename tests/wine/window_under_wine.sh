#!/usr/bin/env bash
# km360r.exe under Wine on Windows' own platform, worked with real key presses
# (xdotool) on a virtual display with a window manager, against the simulated
# meter on COM5; compared with the Linux window worked the same way against
# the same meter.
#
#   WINEPREFIX=DIR window_under_wine.sh LINUX_BIN WINDOWS_BIN [SHOTS_DIR]
#
# DIR is a prefix made by scripts/wine-prefix.sh (its COM5 leads to
# DIR/km360r-ports/COM5); LINUX_BIN holds km360r, km360r-cli and km360r-sim,
# WINDOWS_BIN km360r.exe with its help files and translations/. Each side:
#   Link; a job opened in the Test job panel (Ctrl+J); real-time reading
#   (Ctrl+T); Space captures a result into the store; the meter falls silent
#   after a fixed number of readings and is reported lost; Ctrl+S saves the
#   readings to a named .ref.
# The two sides run at once, each on a display of its own with its own
# meter. The saved .ref and the store's result must be the same on both sides, with
# the reading and capture times masked. The meter repeats three readings, so
# any three in a row give the same capture whenever Space lands.
# With SHOTS_DIR, a picture of the Windows window in each language is put
# there (window-wine-en.png, window-wine-zh.png). KM360R_WINDOW_SIDES=linux
# works one side alone (when changing the key sequence). Exit status 0 when
# all held.
set -uo pipefail
linux_bin=$(cd "${1:?LINUX_BIN}" && pwd)
windows_bin=$(cd "${2:?WINDOWS_BIN}" && pwd)
shots=${3:-}
[ -z "$shots" ] || shots=$(mkdir -p "$shots" && cd "$shots" && pwd)
: "${WINEPREFIX:?a prefix made by scripts/wine-prefix.sh}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
ports=$WINEPREFIX/km360r-ports
work=$(mktemp -d)
sim="" app="" xvfb="" wm=""
failures=0
cleanup() {
  # Every program this script started, whatever state a failed side left.
  for p in $app $sim $wm $xvfb $(jobs -p); do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  wineserver -k 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
# Real windows, whatever platform the tests before chose (the test command
# runs the others offscreen): xcb for Linux, Windows' own under Wine.
unset QT_QPA_PLATFORM
wineserver -k 2>/dev/null || true

# start_display DIR: a display of a laptop's size for this side, with a window
# manager: without one Wine's windows are not given the keyboard.
start_display() {
  Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$1/display" 2>/dev/null &
  xvfb=$!
  for _ in $(seq 1 500); do [ -s "$1/display" ] && break; sleep 0.01; done
  export DISPLAY=:$(cat "$1/display")
  openbox >/dev/null 2>&1 &
  wm=$!
}

# The meter: ten times faster than the instrument, three readings over and
# over, silent after Link's probe and nine readings: Space is pressed once
# five have been asked for, which leaves four in hand before the silence.
meter_args=(--pace 10 --seed 7 --readings -20.00,-21.00,-19.50 --no-answer-after 10)

log() { echo "   $*"; }
fail() {
  echo "FAIL $*"
  failures=$((failures + 1))
}

# wait_for SECONDS COMMAND...: true once COMMAND succeeds (a guard against a
# hang, not a timing check).
wait_for() {
  local limit=$(($1 * 20))
  shift
  for _ in $(seq 1 "$limit"); do "$@" && return 0; sleep 0.05; done
  return 1
}
readings_asked() { [ "$(grep -c '^D' "$dir/meter.log" 2>/dev/null)" -ge "$1" ]; }
main_window_shown() {
  xdotool search --onlyvisible --name 'Optical Power Meter|光功率计' 2>/dev/null | head -1 >"$dir/window"
  [ -s "$dir/window" ]
}
active_is_not() { [ "$(xdotool getactivewindow 2>/dev/null)" != "$1" ]; }
key() { xdotool key --clearmodifiers "$@"; sleep 0.15; }

# The path a side's program is given for FILE: Wine's drive Z: for Windows.
native_path() {
  if [ "$1" = windows ]; then winepath -w "$2"; else echo "$2"; fi
}

# run SIDE LANGUAGE: works the window of SIDE once, in $work/SIDE-LANGUAGE,
# on a display of its own; the number of failures goes to its file failures.
run() {
  side=$1 language=$2 dir=$work/$1-$2
  mkdir -p "$dir/app" "$dir/ports"
  trap 'end_side "$side"; for p in $wm $xvfb; do kill "$p" 2>/dev/null; done; echo "$failures" >"$dir/failures"' EXIT
  start_display "$dir"
  if [ "$side" = linux ]; then
    cp "$linux_bin/km360r" "$dir/app/"
  else
    cp -r "$windows_bin/km360r.exe" "$windows_bin"/help_*.chm "$windows_bin/translations" "$dir/app/"
  fi
  printf '[config]\r\nlanguage=%s\r\n' "$language" >"$dir/app/config.ini"
  KM360R_STORE=$dir/results.sqlite "$linux_bin/km360r-cli" job new "Street 5" --points P01-P03 >/dev/null

  # Wine's COM5 leads into the prefix's folder; the Linux window finds its
  # meter in a folder of the side's own.
  local port_dir=$ports
  [ "$side" = linux ] && port_dir=$dir/ports
  rm -f "$port_dir/COM5"
  "$linux_bin/km360r-sim" --port-dir "$port_dir" --name COM5 --log "$dir/meter.log" "${meter_args[@]}" \
    >"$dir/meter.out" 2>&1 &
  sim=$!
  wait_for 10 test -L "$port_dir/COM5" || { fail "$side: km360r-sim did not publish its port"; return; }

  local store
  store=$(native_path "$side" "$dir/results.sqlite")
  if [ "$side" = linux ]; then
    (cd "$dir" && KM360R_PORT_DIR=$port_dir KM360R_STORE=$store exec "$dir/app/km360r") >"$dir/out" 2>&1 &
  else
    (cd "$dir" && KM360R_STORE=$store exec wine "$dir/app/km360r.exe") >"$dir/out" 2>&1 &
  fi
  app=$!
  local window started=$SECONDS
  rm -f "$dir/window"
  # Looked for again and again rather than with `search --sync`: Wine makes
  # and drops windows of its own while the program starts, and a window gone
  # in the middle of a search ends xdotool with an X error and no answer.
  wait_for 120 main_window_shown
  window=$(cat "$dir/window" 2>/dev/null)
  if [ -z "$window" ]; then
    fail "$side $language: no window"
    # What there was instead: the program's words and the display's windows.
    tail -20 "$dir/out"
    for w in $(xdotool search --name . 2>/dev/null); do log "window $w: $(xdotool getwindowname "$w" 2>/dev/null)"; done
    return
  fi
  log "$side $language: window shown after $((SECONDS - started)) s"
  xdotool windowactivate --sync "$window" 2>/dev/null
  sleep 1

  # Link: the toolbar's thirteenth button, reached by Tab from the first,
  # pressed by Space.
  for _ in $(seq 1 "12"); do key Tab; done
  key space
  wait_for 30 grep -q . "$dir/meter.log" || fail "$side $language: Link asked the meter nothing"
  sleep 1
  # The job: the panel, its Open job… button (five stops after Link: the
  # lamp, the tabs, the store switch, New job…), the first job in the list.
  key ctrl+j
  for _ in $(seq 1 "5"); do key Tab; done
  key space
  key Return
  # Back to the tabs (Space on the focused Open job… would press it again).
  for _ in 1 2 3; do key shift+Tab; done
  # Real-time reading; Space captures once readings are in.
  key ctrl+t
  wait_for 30 readings_asked 5 || fail "$side $language: no real-time reading"
  key space
  if [ -n "$shots" ] && [ "$side" = windows ]; then
    sleep 1
    picture "$shots/window-wine-$([ "$language" = 0 ] && echo zh || echo en).png"
  fi
  # The meter falls silent and is reported lost: the box is answered.
  wait_for 60 active_is_not "$window" || fail "$side $language: the lost meter was not told"
  key Return
  # Save to a named .ref.
  key ctrl+s
  wait_for 10 active_is_not "$window" || fail "$side $language: Save showed no dialog"
  sleep 1
  xdotool type --delay 20 "$(native_path "$side" "$dir/readings.ref")"
  key Return
  wait_for 10 test -s "$dir/readings.ref" || fail "$side $language: nothing saved"
  sleep 1
}

# Ends the side's program and its meter, also after a side failed half-way.
end_side() {
  [ -n "$app" ] && kill "$app" 2>/dev/null && wait "$app" 2>/dev/null
  [ "$1" = windows ] && wineserver -k 2>/dev/null
  app=""
  [ -n "$sim" ] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null
  sim=""
}

picture() {
  xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$1" 2>/dev/null
}

# Reading times (yy/mm/dd or yyyy/mm/dd, then hh:mm:ss) are the clocks'.
mask_times() {
  LC_ALL=C sed -E 's#([0-9]{2}){1,2}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}#<time>#g' "$1"
}
# The store's results, without their identities and times.
results() {
  sqlite3 "$1" "SELECT p.label, r.wavelength_nm, r.power_dbm, r.power_mw, r.loss_db, r.verdict, r.samples,
                       r.span_db, r.unstable, r.operator, r.superseded
                FROM results r JOIN points p ON p.id = r.point_id ORDER BY r.id"
}

compare() {
  local language=$1 l=$work/linux-$1 w=$work/windows-$1
  if cmp -s <(mask_times "$l/readings.ref") <(mask_times "$w/readings.ref") && [ -s "$l/readings.ref" ]; then
    echo "ok   $language: readings.ref ($(wc -c <"$w/readings.ref") bytes)"
  else
    fail "$language: readings.ref differs"
    diff <(mask_times "$l/readings.ref" | od -c) <(mask_times "$w/readings.ref" | od -c) | head -20
  fi
  local lr wr
  lr=$(results "$l/results.sqlite") wr=$(results "$w/results.sqlite")
  if [ -n "$lr" ] && [ "$lr" = "$wr" ]; then
    echo "ok   $language: stored result $wr"
  else
    fail "$language: stored results differ: linux [$lr] windows [$wr]"
  fi
}

for language in 1 0; do
  for side in ${KM360R_WINDOW_SIDES:-linux windows}; do (run "$side" "$language") & done
  wait
  for side in ${KM360R_WINDOW_SIDES:-linux windows}; do
    failures=$((failures + $(cat "$work/$side-$language/failures" 2>/dev/null || echo 1)))
  done
  compare "$language"
done
echo "$failures failed"
[ "$failures" -eq 0 ]
