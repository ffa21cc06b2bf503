#!/usr/bin/env bash
# Cross-builds the Windows core with MinGW-w64: km360r-cli.exe and
# km360r_unit_tests.exe in build-windows/bin/ (or DIR/bin/ for
# build-windows.sh DIR [cmake options...]). The window, km360r.exe, is built
# by scripts/build-windows-window.sh over this script. Installs the cross compiler and Wine when missing.
#
# Debian ships neither SQLite nor GoogleTest for MinGW, so both are built here
# with the cross compiler, once per build tree (DIR/deps/): SQLite from the
# source of Debian's own sqlite3 package, GoogleTest from Debian's googletest
# sources. The executables are linked statically, so they run in a bare Wine
# prefix with nothing beside them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$root/build-windows}" && cd "${1:-$root/build-windows}" && pwd)
shift $(($# > 0 ? 1 : 0))
deps=$out/deps
prefix=$deps/prefix
toolchain=$root/cmake/mingw-w64-x86_64.cmake
jobs=$(nproc)

"$root/scripts/install-deps.sh"

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

# SQLite: the amalgamation is generated from Debian's source package with the
# host's tools (tclsh), then compiled with the cross compiler. All of it runs
# on one processor, beside GoogleTest's build and the core's: the core needs
# only the header, and the library is waited for before anything links it.
build_sqlite() {
  local src=$deps/sqlite-src
  rm -rf "$src" && mkdir -p "$src"
  "$root/scripts/deb-sources.sh" sqlite3
  (cd "$src" && apt-get source --download-only sqlite3 >/dev/null 2>&1)
  tar -xJf "$src"/sqlite3_*.orig.tar.xz -C "$src"
  local tree
  tree=$(find "$src" -mindepth 1 -maxdepth 1 -type d | head -1)
  (cd "$tree" && ./configure --disable-tcl >/dev/null && make sqlite3.c >/dev/null)
  mkdir -p "$prefix/lib" "$prefix/include"
  cp "$tree/sqlite3ext.h" "$prefix/include/"
  cp "$tree/sqlite3.h" "$deps/sqlite3.h.part" && mv "$deps/sqlite3.h.part" "$prefix/include/sqlite3.h"
  # Optimised for size, as SQLite is often shipped: nearly as fast as -O2,
  # and compiled in 60% of the time.
  x86_64-w64-mingw32-gcc-posix -Os -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION -c "$tree/sqlite3.c" \
    -o "$deps/sqlite3.o"
  x86_64-w64-mingw32-ar rcs "$deps/libsqlite3.a.part" "$deps/sqlite3.o"
  mv "$deps/libsqlite3.a.part" "$prefix/lib/libsqlite3.a"
}
sqlite_failed() {
  echo "build-windows.sh: SQLite did not build:" >&2
  tail -20 "$deps/sqlite.log" >&2
  exit 1
}
if [ ! -f "$prefix/lib/libsqlite3.a" ]; then
  mkdir -p "$deps"
  rm -f "$prefix/include/sqlite3.h" "$deps/sqlite.status"
  # Its exit status goes to a file as it ends: the wait for the header below
  # must not outlast a build that failed before writing it.
  ( set +e; (set -e; build_sqlite) >"$deps/sqlite.log" 2>&1; echo $? >"$deps/sqlite.status" ) &
  sqlite_build=$!
fi

# GoogleTest from Debian's sources.
if [ ! -f "$prefix/lib/libgtest.a" ]; then
  cmake -S /usr/src/googletest -B "$deps/googletest" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF "${launcher[@]}" >/dev/null
  cmake --build "$deps/googletest" -j"$jobs" >/dev/null
  cmake --install "$deps/googletest" >/dev/null
fi

generator=()
[[ -f "$out/CMakeCache.txt" ]] || generator=(-G Ninja)
# The core includes SQLite's header.
while [ ! -f "$prefix/include/sqlite3.h" ]; do
  [ -n "${sqlite_build:-}" ] && [ ! -f "$deps/sqlite.status" ] || sqlite_failed
  sleep 0.2
done
cmake -S "$root" -B "$out" "${generator[@]}" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DKM360R_GUI=OFF -DKM360R_BENCH=OFF -DKM360R_CLI_REPORT=OFF -DKM360R_TEAM_SERVER=OFF \
  -DSQLite3_INCLUDE_DIR="$prefix/include" -DSQLite3_LIBRARY="$prefix/lib/libsqlite3.a" \
  -DGTest_DIR="$prefix/lib/cmake/GTest" "${launcher[@]}" "$@" >/dev/null
cmake --build "$out" -j"$jobs" --target km360r_core
if [ -n "${sqlite_build:-}" ]; then
  wait "$sqlite_build"
  [ "$(cat "$deps/sqlite.status")" = 0 ] || sqlite_failed
fi
# The CLI and the unit tests (whose meter service opens ports) link the Win32
# serial backend, device/win32/. KM360R_WINDOWS_TARGETS names others instead
# (scripts/build-windows-window.sh: the window and its tests).
read -r -a targets <<<"${KM360R_WINDOWS_TARGETS:-km360r-cli km360r_unit_tests}"
cmake --build "$out" -j"$jobs" --target "${targets[@]}"
