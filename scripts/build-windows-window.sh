#!/usr/bin/env bash
# Cross-builds the window for Windows: km360r.exe, km360r-cli.exe with its PDF
# reports, and the window tests that need no meter (km360r_gui_tests.exe), in
# build-windows-window/bin/ (or DIR/bin/ for build-windows-window.sh DIR
# [cmake options...]), beside the help files, config.ini and Qt's Chinese
# translations (translations/).
#
# Qt is the static Qt for Windows of scripts/build-qt-windows.sh, built once
# into its cache on the first run; the rest is scripts/build-windows.sh's
# cross build with the window turned on. Everything is linked statically: the
# executables need nothing beside them but those data files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build-windows-window}
shift $(($# > 0 ? 1 : 0))
qt=$("$root/scripts/build-qt-windows.sh")
# A tree configured against another Qt (other options, another version) is
# configured afresh: the toolchain file is read only on the first configure.
# The cross-built SQLite and GoogleTest in DIR/deps/ stay.
if [ -f "$out/CMakeCache.txt" ] && ! grep -qF "$qt/" "$out/CMakeCache.txt"; then
  rm -rf "$out/CMakeCache.txt" "$out/CMakeFiles"
fi
# Qt's own toolchain file finds that Qt and Debian's host tools, and loads the
# project's MinGW toolchain file in turn.
KM360R_WINDOWS_TARGETS="km360r km360r-cli km360r_gui_tests km360r_help" \
  "$root/scripts/build-windows.sh" "$out" -DKM360R_GUI=ON -DKM360R_CLI_REPORT=ON \
  -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" "$@"
