#!/usr/bin/env bash
# km360r-cli.exe under Wine against the simulated meter on a pseudo-terminal,
# compared byte for byte with km360r-cli on Linux against the same meter.
#
#   WINEPREFIX=DIR cli_under_wine.sh LINUX_BIN WINDOWS_BIN
#
# DIR is a prefix made by scripts/wine-prefix.sh (its COM5 leads to
# DIR/km360r-ports/COM5); LINUX_BIN holds km360r-cli and km360r-sim,
# WINDOWS_BIN km360r-cli.exe. Each command runs twice, each time against a
# freshly started meter with the same settings, so both see the same replies.
# The only thing masked is the reading times: the Linux clock stamps real-time
# readings, and the meter stamps its stored readings from its own clock, so
# both differ between two runs. Exit status 0 when every case matched.
set -uo pipefail
linux_bin=$(cd "${1:?LINUX_BIN}" && pwd)
windows_bin=$(cd "${2:?WINDOWS_BIN}" && pwd)
: "${WINEPREFIX:?a prefix made by scripts/wine-prefix.sh}"
export WINEPREFIX WINEDEBUG=-all
ports=$WINEPREFIX/km360r-ports
work=$(mktemp -d)
sim=""
failures=0
trap '[ -n "$sim" ] && kill "$sim" 2>/dev/null; wait 2>/dev/null; wineserver -k 2>/dev/null; rm -rf "$work"' EXIT

# One Wine server for all runs, started here so that what it prints (it lists
# its objects when it ends) goes nowhere near a run's standard error. A server
# left by an earlier run in this prefix (the unit tests) is ended first:
# otherwise it ends during a case, and the next run starts one of its own
# whose listing lands in that run's standard error.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
wineserver -p >/dev/null 2>&1 || true

# The meter of every case: ten times faster than the instrument, the same
# random readings each time.
meter_args=(--pace 10 --seed 7)

start_meter() {
  rm -f "$ports/COM5" "$work/meter.log"
  "$linux_bin/km360r-sim" --port-dir "$ports" --name COM5 --log "$work/meter.log" "${meter_args[@]}" "$@" \
    >"$work/meter.out" 2>&1 &
  sim=$!
  for _ in $(seq 1 500); do [ -L "$ports/COM5" ] && return 0; sleep 0.01; done
  echo "km360r-sim did not publish its port" >&2
  return 1
}

stop_meter() {
  kill "$sim" 2>/dev/null
  wait "$sim" 2>/dev/null
  sim=""
  rm -f "$ports/COM5"
}

# run SIDE NAME [meter options --] CLI ARGS...: runs one side's CLI in
# $work/SIDE/NAME against a fresh meter; stdout, stderr and the exit code are
# kept as out, err and rc, beside any file the command writes.
run() {
  local side=$1 name=$2
  shift 2
  local extra=()
  if [ "${1:-}" = "--meter" ]; then
    shift
    while [ "$1" != "--" ]; do extra+=("$1"); shift; done
    shift
  fi
  local dir=$work/$side/$name
  mkdir -p "$dir"
  start_meter "${extra[@]}" || return 1
  if [ "$side" = linux ]; then
    (cd "$dir" && KM360R_PORT_DIR=$ports "$linux_bin/km360r-cli" "$@" >out 2>err; echo $? >rc)
  else
    # Wine reads the arguments in the locale's encoding: UTF-8, as typed here.
    (cd "$dir" && LC_ALL=C.UTF-8 wine "$windows_bin/km360r-cli.exe" "$@" >out 2>err; echo $? >rc)
  fi
  stop_meter
}

# Reading times (yy/mm/dd or yyyy/mm/dd, then hh:mm:ss) are the clocks', not the program's.
mask_times() {
  LC_ALL=C sed -E 's#([0-9]{2}){1,2}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}#<time>#g' "$1"
}

# same NAME FILE [masked]: the file of the Windows run equals the Linux one.
same() {
  local name=$1 file=$2 masked=${3:-}
  local l=$work/linux/$name/$file w=$work/windows/$name/$file
  if [ ! -f "$w" ] || [ ! -f "$l" ]; then
    echo "FAIL $name: $file missing (linux: $([ -f "$l" ] && echo yes || echo no), windows: $([ -f "$w" ] && echo yes || echo no))"
    failures=$((failures + 1))
    return
  fi
  if [ -n "$masked" ]; then
    cmp -s <(mask_times "$l") <(mask_times "$w")
  else
    cmp -s "$l" "$w"
  fi
  if [ $? -eq 0 ]; then
    echo "ok   $name: $file"
  else
    echo "FAIL $name: $file differs"
    diff <(mask_times "$l" | od -c) <(mask_times "$w" | od -c) | head -20
    failures=$((failures + 1))
  fi
}

# expect NAME FILE TEXT: the Windows run's file holds exactly TEXT.
expect() {
  local name=$1 file=$2 text=$3
  if cmp -s <(printf '%s' "$text") "$work/windows/$name/$file"; then
    echo "ok   $name: $file"
  else
    echo "FAIL $name: $file is not what was expected"
    diff <(printf '%s' "$text" | od -c) <(od -c "$work/windows/$name/$file") | head -10
    failures=$((failures + 1))
  fi
}

both() {
  run linux "$@"
  run windows "$@"
}

both scan --port COM5 scan
# The scan names the device that answered, which is the system's own path.
expect scan out '\\.\COM5
'
same scan err
same scan rc

both realtime --port COM5 realtime --count 3 --out readings
for f in out err rc readings.ref; do same realtime "$f" masked; done

# A file name in Chinese reaches the program whole: on Windows the arguments
# come from the wide command line, not the ANSI code page.
both chinese-name --port COM5 realtime --count 1 --out 实时读数
for f in out err rc 实时读数.ref; do same chinese-name "$f" masked; done

both history --port COM5 history
for f in out err rc; do same history "$f" masked; done

both set-mode --port COM5 set-mode normal
for f in out err rc; do same set-mode "$f"; done

# Without --port the scan tries COM0, COM3, COM4, COM5, ...: only COM5 leads
# to a device, and it answers.
both scan-all scan
expect scan-all out '\\.\COM5
'
same scan-all err
same scan-all rc

# The cable pulled after the probe and two readings: the lost-meter message,
# exit code 1, and the two rows saved.
both pulled --meter --hangup-after 3 -- --port COM5 realtime --count 5 --out readings
for f in err rc readings.ref; do same pulled "$f" masked; done
expect pulled rc '1
'

# A port that another run of the program holds is refused with the same reason.
busy() {
  local side=$1 dir=$work/$1/busy cli
  mkdir -p "$dir"
  start_meter || return 1
  if [ "$side" = linux ]; then cli=(env KM360R_PORT_DIR="$ports" "$linux_bin/km360r-cli"); else cli=(wine "$windows_bin/km360r-cli.exe"); fi
  "${cli[@]}" --port COM5 realtime --count 30 >/dev/null 2>&1 &
  local holder=$!
  # Held once the meter has been asked for a reading.
  for _ in $(seq 1 1000); do grep -q '^D' "$work/meter.log" 2>/dev/null && break; sleep 0.02; done
  (cd "$dir" && "${cli[@]}" --port COM5 history >out 2>err; echo $? >rc)
  kill "$holder" 2>/dev/null
  wait "$holder" 2>/dev/null
  stop_meter
}
busy linux
busy windows
for f in out err rc; do same busy "$f"; done

echo "$failures failed"
[ "$failures" -eq 0 ]
