#!/usr/bin/env bash
# Figures of the Windows build under Wine, run by hand after
# scripts/build-windows.sh and scripts/build.sh:
#   - receive throughput of the Windows serial port: a pseudo-terminal's far
#     end writes in 1-byte and in 4 KiB pieces, the port hands what it read to
#     its owner's thread (bench/wine/serial_receive.cpp);
#   - a 600-record history read end to end by km360r-cli.exe, and by the Linux
#     km360r-cli for comparison, against km360r-sim at the meter's own pace;
#   - the size of the Windows executables.
# A pseudo-terminal does not hold bytes to a baud rate: the figures show what
# the path can carry, set against the meter's line of 19200 baud, 8N1, which
# carries 1920 bytes a second.
#
#   bench/wine/serial_under_wine.sh [BUILD_DIR [WINDOWS_BUILD_DIR]]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
wbuild=$(cd "${2:-$root/build-windows}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$root/scripts/wine-prefix.sh" "$work/prefix"
export WINEPREFIX=$work/prefix WINEDEBUG=-all
ports=$WINEPREFIX/km360r-ports
# One Wine server for all runs, its own output (a list of its objects when it
# ends) kept out of the figures.
wineserver -p >/dev/null 2>&1 || true
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT

x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -I"$root" -static -o "$work/serial_receive.exe" \
  "$root/bench/wine/serial_receive.cpp" "$root"/device/win32/*.cpp "$root/device/SerialPort.cpp" "$root/device/SerialChannel.cpp" \
  "$root/device/PortNames.cpp" "$root/common/win32/Utf16.cpp"

echo "== Receive throughput (line rate of the meter: 1920 B/s) =="
for piece in 1 4096; do
  total=$((piece == 1 ? 200000 : 4000000))
  python3 - "$ports/COM5" "$piece" "$total" <<'PY' &
import os, sys, tty
link, piece, total = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
master, slave = os.openpty()
tty.setraw(slave)
if os.path.lexists(link):
    os.unlink(link)
os.symlink(os.ttyname(slave), link)
got = b""
while not got.endswith(b"go\r"):
    got += os.read(master, 64)
data = bytes(range(256)) * (total // 256 + 1)
sent = 0
while sent < total:
    sent += os.write(master, data[sent:sent + min(piece, total - sent)])
# Stay until the reader has taken everything.
import time
time.sleep(15)
PY
  writer=$!
  for _ in $(seq 1 500); do [ -L "$ports/COM5" ] && break; sleep 0.01; done
  read -r bytes seconds < <(wine "$work/serial_receive.exe" COM5 "$total" || true)
  kill "$writer" 2>/dev/null || true
  wait "$writer" 2>/dev/null || true
  rm -f "$ports/COM5"
  awk -v p="$piece" -v b="$bytes" -v s="$seconds" \
    'BEGIN { r = s > 0 ? b / s : 0; printf "%5d-byte writes: %d bytes in %.3f s = %.0f B/s (%.0f x line rate)\n", p, b, s, r, r / 1920 }'
done

echo "== 600-record history, end to end (meter at its own pace) =="
for side in linux windows; do
  rm -f "$ports/COM5"
  "$build/bin/km360r-sim" --port-dir "$ports" --name COM5 --history-count 600 --seed 7 >/dev/null 2>&1 &
  sim=$!
  for _ in $(seq 1 500); do [ -L "$ports/COM5" ] && break; sleep 0.01; done
  start=$(date +%s.%N)
  if [ "$side" = linux ]; then
    KM360R_PORT_DIR=$ports "$build/bin/km360r-cli" --port COM5 history >"$work/history.$side"
  else
    wine "$wbuild/bin/km360r-cli.exe" --port COM5 history >"$work/history.$side"
  fi
  end=$(date +%s.%N)
  kill "$sim"; wait "$sim" 2>/dev/null || true
  awk -v s="$start" -v e="$end" -v side="$side" -v rows="$(($(wc -l <"$work/history.$side") - 1))" \
    'BEGIN { printf "%-8s %d rows in %.2f s\n", side, rows, e - s }'
done

echo "== Windows executables =="
for exe in "$wbuild"/bin/*.exe; do
  printf '%-28s %10d bytes\n' "$(basename "$exe")" "$(stat -c %s "$exe")"
done
