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
# Left out, as Linux's by nature:
#  - HelpCommand.*: they check the hand-over of the help file to xdg-open (a
#    stand-in put on the search path); on Windows the shell opens the file.
#  - StartupProcess.WithoutADisplay*: a Windows program always has its desktop.
#  - PrintCommand.*: it answers Qt's own print dialog; on Windows the dialog is
#    the system's (Wine's here), which the test cannot work.
# Left out for Wine's fonts: Wine carries no SimSun ("宋体"), the report's
# face, and links no Chinese face in its place, so ReportFonts.* finds boxes;
# and the laptop layouts (LaptopWindow.TheFormFits*, *EveryTabStop*), measured
# with Wine's fonts, lose two of the readout's buttons at 1024 pixels.
left_out=HelpCommand.*:StartupProcess.WithoutADisplay*:PrintCommand.*:ReportFonts.*
left_out+=:LaptopWindow.TheFormFitsBesideTheJobDockWithoutScrollBars
left_out+=:LaptopWindow.EveryTabStopShowsItsFocusAndTabNeverScrollsTheFormAway
cd "$bin"
wine ./km360r_gui_tests.exe --gtest_brief=1 --gtest_filter="-$left_out"
