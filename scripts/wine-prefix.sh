#!/usr/bin/env bash
# Creates a fresh Wine prefix in DIR for the tests of the Windows build (Wine's
# first start takes a while, so a test run makes one and shares it).
#
# Serial ports: Wine maps the host's /dev/ttyS* and /dev/ttyUSB* to COM1,
# COM2, ... on every start. Here COM1 to COM20 are all taken off the host
# devices, and COM5 is the one port: it leads to DIR/km360r-ports/COM5, where a
# test publishes the simulated meter (km360r-sim --port-dir DIR/km360r-ports
# --name COM5). The host's own ports land above COM20, beyond the port scan.
set -euo pipefail
dir=${1:?usage: wine-prefix.sh DIR}
rm -rf "$dir"
mkdir -p "$dir/km360r-ports"
dir=$(cd "$dir" && pwd)
export WINEPREFIX=$dir WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1

reg=$dir/km360r-ports.reg
{
  printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n'
  for n in $(seq 1 20); do
    target=""
    [ "$n" = 5 ] && target=$dir/km360r-ports/COM5
    printf '"COM%d"="%s"\r\n' "$n" "$target"
  done
} >"$reg"
wine regedit /S "Z:${reg//\//\\}" >/dev/null 2>&1
# The mapping is made when Wine starts; the next start uses the new one.
wineserver -k || true
rm -f "$dir"/dosdevices/com*
wine cmd /c exit >/dev/null 2>&1
wineserver -w
