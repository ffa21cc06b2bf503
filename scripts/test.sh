#!/usr/bin/env bash
# Builds everything and runs every test: the normal build (unit, end-to-end and
# window tests), then the unit and end-to-end tests again under AddressSanitizer
# and UndefinedBehaviorSanitizer (built with clang), with a short run of each
# fuzz target from its seed corpus. Then the Windows build (MinGW-w64) under
# Wine, in one Wine prefix made for the run: km360r-cli.exe against the
# simulated meter, compared with the Linux program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

"$root/scripts/build.sh" "$root/build"
"$root/scripts/build.sh" "$root/build-asan" -DKM360R_GUI=OFF -DKM360R_SANITIZE=ON -DKM360R_BENCH=OFF

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

status=0
echo "== Tests =="
(cd "$root/build" && ctest --output-on-failure -j2) || status=1
echo "== Tests and fuzz runs under AddressSanitizer and UndefinedBehaviorSanitizer =="
(cd "$root/build-asan" && ctest --output-on-failure -j2) || status=1
echo "== The Windows build under Wine =="
if "$root/scripts/build-windows.sh" "$root/build-windows" \
  && "$root/scripts/wine-prefix.sh" "$root/build-windows/wine"; then
  export WINEPREFIX=$root/build-windows/wine
  "$root/tests/wine/cli_under_wine.sh" "$root/build/bin" "$root/build-windows/bin" || status=1
  wineserver -k 2>/dev/null || true
else
  status=1
fi
exit $status
