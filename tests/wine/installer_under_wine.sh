#!/usr/bin/env bash
# The Windows installer, run silently (/S) in a fresh Wine prefix made here:
#
#   installer_under_wine.sh SETUP_EXE LINUX_BIN
#
# SETUP_EXE is km360r-setup-VERSION.exe (scripts/package-windows.sh), LINUX_BIN
# holds km360r-sim. A user with a Chinese Windows installs; the installed
# km360r-cli.exe tells its version and finds the simulated meter on COM5, and
# the Start menu entry bears the Chinese name. The user changes config.ini; a
# user with an English Windows installs again over it, which keeps the change
# and renames the entry. The uninstaller registered in Add/Remove Programs
# then leaves only what the user saved into the program's folder; while the
# program runs, the installer and the uninstaller stop and change nothing.
# Exit status 0 when every check held.
set -uo pipefail
setup=$(cd "$(dirname "${1:?SETUP_EXE}")" && pwd)/$(basename "$1")
linux_bin=$(cd "${2:?LINUX_BIN}" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
version=$(basename "$setup" .exe)
version=${version#km360r-setup-}
work=$(mktemp -d)
sim=""
failures=0
trap '[ -n "$sim" ] && kill "$sim" 2>/dev/null; wait 2>/dev/null; wineserver -k 2>/dev/null; rm -rf "$work"' EXIT

"$root/scripts/wine-prefix.sh" "$work/prefix"
export WINEPREFIX=$work/prefix WINEDEBUG=-all
# No Mono or Gecko installers, and no menu entries of the host's desktop for
# the shortcuts the installer makes.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
program="$WINEPREFIX/drive_c/Program Files/KM360R"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\KM360R'
entry_zh="PON光功率计管理软件.lnk"
entry_en="KM360R Optical Power Meter.lnk"

# Wine takes the user interface language from the locale; both are compiled
# here from Debian's locale sources, as the system may have neither.
"$root/scripts/install-deps.sh" locales
mkdir -p "$work/locales"
localedef -i zh_CN -f UTF-8 "$work/locales/zh_CN.UTF-8" 2>/dev/null
localedef -i en_US -f UTF-8 "$work/locales/en_US.UTF-8" 2>/dev/null

check() {
  local what=$1
  shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

# run_setup LOCALE: the installer, silent, in a Windows of that language.
run_setup() {
  LOCPATH=$work/locales LC_ALL=$1 wine "$setup" /S
  local status=$?
  wineserver -w
  return $status
}

# The files of a fresh installation, by name.
installed() {
  local f
  for f in km360r.exe km360r-cli.exe help_sc.chm help_qtv_e.chm help_c.chm help_e.chm config.ini \
    translations/qtbase_zh_CN.qm uninstall.exe; do
    [ -s "$program/$f" ] || { echo "  $f is missing"; return 1; }
  done
}

cli() { (cd "$work" && LC_ALL=C.UTF-8 wine "$program/km360r-cli.exe" "$@" 2>&1); }

start_meter() {
  rm -f "$WINEPREFIX/km360r-ports/COM5" "$work/meter.log"
  "$linux_bin/km360r-sim" --port-dir "$WINEPREFIX/km360r-ports" --name COM5 --pace 10 --log "$work/meter.log" \
    >/dev/null 2>&1 &
  sim=$!
  for _ in $(seq 1 500); do [ -L "$WINEPREFIX/km360r-ports/COM5" ] && break; sleep 0.01; done
}

stop_meter() {
  kill "$sim" 2>/dev/null
  wait "$sim" 2>/dev/null
  sim=""
}

scan() {
  start_meter
  local out
  out=$(cli scan)
  stop_meter
  [ "$out" = '\\.\COM5' ] || { echo "  scan printed: $out"; return 1; }
}

# The program's folder: names, sizes and times.
snapshot() { find "$program" -printf '%P %s %T@\n' | sort; }

registered() { wine reg query "$uninstall_key" /v QuietUninstallString >/dev/null 2>&1; }
unregistered() { ! registered; }

check "silent installation ends with exit code 0" run_setup zh_CN.UTF-8
check "installed under Program Files" installed
check "km360r-cli.exe --version says km360r-cli $version" \
  test "$(cli --version | tr -d '\r')" = "km360r-cli $version"
check "km360r-cli.exe scan finds the meter on COM5" scan
check "Start menu entry in Chinese" test -f "$menu/$entry_zh"
check "listed in Add/Remove Programs" registered

printf '[config]\r\nlanguage=0\r\nserver=postgresql://lab/km360r\r\n' >"$program/config.ini"
cp "$program/config.ini" "$work/changed.ini"
check "silent upgrade ends with exit code 0" run_setup en_US.UTF-8
check "upgrade keeps the changed config.ini" cmp -s "$work/changed.ini" "$program/config.ini"
check "upgrade installs every file" installed
check "Start menu entry in English after an English upgrade" \
  bash -c '[ -f "$1/$2" ] && [ ! -e "$1/$3" ]' _ "$menu" "$entry_en" "$entry_zh"

# While km360r-cli.exe runs (it has asked the meter for a reading), neither
# an upgrade nor the uninstaller changes anything.
start_meter
LC_ALL=C.UTF-8 wine "$program/km360r-cli.exe" --port COM5 realtime >/dev/null 2>&1 &
running=$!
for _ in $(seq 1 1000); do grep -q '^D' "$work/meter.log" 2>/dev/null && break; sleep 0.02; done
snapshot >"$work/before"
LOCPATH=$work/locales LC_ALL=en_US.UTF-8 wine "$setup" /S
check "upgrade while the program runs ends with exit code 2" test $? = 2
# The uninstaller runs from a copy of itself in the temporary folder, and
# the command returns at once: the copy is waited for.
wine "$program/uninstall.exe" /S
while pgrep -f 'nsu[^ ]*[.]tmp.Un[.]exe' >/dev/null; do sleep 0.05; done
snapshot >"$work/after"
kill "$running" 2>/dev/null
wait "$running" 2>/dev/null
stop_meter
wineserver -w
check "nothing changed while the program ran" cmp -s "$work/before" "$work/after"
check "still listed in Add/Remove Programs" registered

# What the user saved into the program's folder is theirs.
printf 'saved by the user' >"$program/readings.ref"
# The uninstaller as Add/Remove Programs runs it: its quiet command.
quiet=$(wine reg query "$uninstall_key" /v QuietUninstallString 2>/dev/null | tr -d '\r' |
  sed -nE 's/.*REG_SZ +"([^"]+)" \/S$/\1/p')
check "the quiet uninstall command names uninstall.exe" test -n "$quiet"
if [ -n "$quiet" ]; then
  wine "$(winepath -u "$quiet" 2>/dev/null)" /S
  wineserver -w
fi
check "uninstall leaves only the user's file" test "$(ls -A "$program" 2>&1)" = "readings.ref"
check "uninstall removes the Start menu entry" \
  bash -c '[ ! -e "$1/$2" ] && [ ! -e "$1/$3" ]' _ "$menu" "$entry_en" "$entry_zh"
check "uninstall removes the Add/Remove Programs entry" unregistered

echo "$failures failed"
[ "$failures" -eq 0 ]
