#!/usr/bin/env bash
# Runs the Windows build's unit tests under Wine:
#   unit_tests_under_wine.sh BUILD_WINDOWS_BIN
# In the Wine prefix of $WINEPREFIX when the test run has made one, else in a
# fresh one made here in a temporary folder (Wine's first start is the slow
# part, so a test run makes one prefix and shares it). No display is needed;
# Wine's Mono and Gecko installers are not offered.
set -euo pipefail
bin=$(cd "${1:?usage: unit_tests_under_wine.sh BUILD_WINDOWS_BIN}" && pwd)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
own=""
if [ -z "${WINEPREFIX:-}" ]; then
  own=$(mktemp -d)
  export WINEPREFIX=$own/prefix
  trap 'wineserver -k 2>/dev/null || true; rm -rf "$own"' EXIT
  # Wine refuses a prefix its user does not own; as root the folder is root's.
  wineboot -i >/dev/null 2>&1
fi
# The tests read config.ini and the help beside the executable; they make
# their own files under the prefix's temporary folder.
cd "$bin"
# One test of test_jobs.cpp reads the job's exports back with Linux's Python
# (xlrd, csv); the rest of that file runs here.
wine ./km360r_unit_tests.exe --gtest_brief=1 --gtest_filter=-JobStore.ExportsHoldTheValuesAsNumbers
