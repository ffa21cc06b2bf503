#!/usr/bin/env bash
# Builds everything and runs every test: the normal build (unit, end-to-end and
# window tests), then the unit and end-to-end tests again under AddressSanitizer
# and UndefinedBehaviorSanitizer (built with clang), with a short run of each
# fuzz target from its seed corpus. Then the Windows build (MinGW-w64) under
# Wine, in one Wine prefix made for the run: its unit tests, and km360r-cli.exe
# against the simulated meter, compared with the Linux program; then the
# Windows installer, installed, upgraded and removed under Wine. Each phase
# says how long it took.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# phase NAME COMMAND...: runs the command, then says how long it took, in
# seconds of the clock and of the processors.
phase() {
  local TIMEFORMAT="== $1: %0R s (processor time %0U s user, %0S s system)"
  shift
  time "$@"
}

phase "Packages" "$root/scripts/install-deps.sh"

# The test command builds every tree from scratch on a fresh checkout, so it
# builds for that: each target's files compiled together, up to sixteen to a
# unit (a unity build), over headers precompiled once per target, line tables
# only as debug information (backtraces keep their files and lines), the lld
# linker, and Ninja for a tree not configured yet.
fresh_build=(-DKM360R_PCH=ON -DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=16)
build_tree() {
  local dir=$1
  shift
  local generator=()
  [[ -f "$dir/CMakeCache.txt" ]] || generator=(-G Ninja)
  "$root/scripts/build.sh" "$dir" "${generator[@]}" "${fresh_build[@]}" \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld "$@"
}
# A compiler cache, where one is used, may keep precompiled headers too.
export CCACHE_SLOPPINESS=${CCACHE_SLOPPINESS:-pch_defines,time_macros,include_file_mtime,include_file_ctime}

phase "Build" build_tree "$root/build"
phase "Sanitizer build" build_tree "$root/build-asan" -DKM360R_GUI=OFF -DKM360R_SANITIZE=ON -DKM360R_BENCH=OFF

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# Most tests wait on a simulated meter, a child process or a server rather
# than on the processor: two run per processor.
test_jobs=$(($(nproc) * 2))
status=0
echo "== Tests =="
phase "Tests" bash -c "cd '$root/build' && ctest --output-on-failure -j$test_jobs" || status=1
echo "== Tests and fuzz runs under AddressSanitizer and UndefinedBehaviorSanitizer =="
phase "Sanitizer tests" bash -c "cd '$root/build-asan' && ctest --output-on-failure -j$test_jobs" || status=1
echo "== The Windows build under Wine =="
# Wine's first start mostly waits: the prefix is made while the build runs.
mkdir -p "$root/build-windows"
"$root/scripts/wine-prefix.sh" "$root/build-windows/wine" &
wine_prefix=$!
if phase "Windows build" "$root/scripts/build-windows.sh" "$root/build-windows" "${fresh_build[@]}" \
  && wait "$wine_prefix"; then
  export WINEPREFIX=$root/build-windows/wine
  phase "Windows unit tests" "$root/tests/wine/unit_tests_under_wine.sh" "$root/build-windows/bin" || status=1
  phase "Windows end-to-end tests" "$root/tests/wine/cli_under_wine.sh" "$root/build/bin" "$root/build-windows/bin" \
    || status=1
  wineserver -k 2>/dev/null || true
else
  wait "$wine_prefix" || true
  status=1
fi
# The window on Windows: Qt for Windows built once into its cache (the first
# run's long step), km360r.exe and its window tests, run under Wine in the
# same prefix; then km360r.exe worked by keys on a virtual display against
# the simulated meter, compared with the Linux window worked the same way.
echo "== The Windows window under Wine =="
windows_window() {
  "$root/scripts/build-windows-window.sh" "$root/build-windows-window" "${fresh_build[@]}" || return 1
  export WINEPREFIX=$root/build-windows/wine
  local failed=0
  "$root/tests/wine/window_tests_under_wine.sh" "$root/build-windows-window/bin" || failed=1
  timeout 900 "$root/tests/wine/window_under_wine.sh" "$root/build/bin" "$root/build-windows-window/bin" || failed=1
  return $failed
}
phase "Windows window" windows_window || status=1
echo "== The Windows installer =="
# Made from the window's Windows build, then installed, upgraded and removed
# under Wine in a prefix of its own.
setup_dir=$root/build-windows-window/installer
rm -rf "$setup_dir"
if phase "Windows installer" "$root/scripts/package-windows.sh" "$root/build-windows-window/bin" "$setup_dir"; then
  phase "Windows installer under Wine" "$root/tests/wine/installer_under_wine.sh" "$setup_dir"/km360r-setup-*.exe \
    "$root/build/bin" || status=1
else
  status=1
fi
exit $status
