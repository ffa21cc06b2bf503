#!/usr/bin/env bash
# Builds everything and runs every test: the normal build (unit, end-to-end and
# window tests), then the unit and end-to-end tests again under AddressSanitizer
# and UndefinedBehaviorSanitizer (built with clang), with a short run of each
# fuzz target from its seed corpus. Then the Windows build (MinGW-w64): its
# unit tests under Wine.
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
echo "== The Windows build's unit tests under Wine =="
if "$root/scripts/build-windows.sh" "$root/build-windows"; then
  "$root/tests/wine/unit_tests_under_wine.sh" "$root/build-windows/bin" || status=1
else
  status=1
fi
exit $status
