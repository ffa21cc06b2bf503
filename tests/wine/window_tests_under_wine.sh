#!/usr/bin/env bash
# Runs the Windows build's window tests (those that need no meter) under Wine,
# on Qt's offscreen platform:
#   window_tests_under_wine.sh BUILD_WINDOWS_WINDOW_BIN
# In the Wine prefix of $WINEPREFIX (scripts/wine-prefix.sh). No display is
# needed. The tests read and write config.ini beside the executable, as the
# Linux ones do.
set -euo pipefail
bin=$(cd "${1:?usage: window_tests_under_wine.sh BUILD_WINDOWS_WINDOW_BIN}" && pwd)
: "${WINEPREFIX:?a prefix made by scripts/wine-prefix.sh}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" QT_QPA_PLATFORM=offscreen
cd "$bin"
wine ./km360r_gui_tests.exe --gtest_brief=1 --gtest_filter="-${KM360R_WINDOWS_LEFT_OUT:-}"
