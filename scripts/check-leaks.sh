#!/usr/bin/env bash
# The window tests under valgrind's memcheck, on Qt's offscreen platform: an
# invalid access, or a block of ours definitely or indirectly lost, fails.
# check-leaks.sh [BUILD_DIR [GTEST_FILTER]] (default: build/, all tests).
# Reports that lie wholly inside Qt, fontconfig and other system libraries are
# suppressed by scripts/valgrind-system.supp; nothing of ours is. The unit and
# end-to-end tests are checked for leaks by LeakSanitizer in the sanitizer
# build (scripts/test.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build}
filter=${2:-*}
if ! dpkg-query -W -f='${Status}' valgrind 2>/dev/null | grep -q 'install ok installed'; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q && apt-get install -y -q --no-install-recommends valgrind
fi
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$dir" -j"$(nproc)" --target km360r_gui_tests km360r-sim

log="$dir/valgrind-gui.log"
export QT_QPA_PLATFORM=offscreen
# Qt's regular expressions run as machine code generated at run time, which
# memcheck cannot follow (reports without a frame to name); interpreted they
# are checked like the rest.
export QT_ENABLE_REGEXP_JIT=0
valgrind --tool=memcheck --error-exitcode=1 --leak-check=full \
  --show-leak-kinds=definite,indirect --errors-for-leak-kinds=definite,indirect \
  --num-callers=40 --gen-suppressions=all \
  --suppressions="$root/scripts/valgrind-system.supp" --log-file="$log" \
  "$dir/bin/km360r_gui_tests" --gtest_filter="$filter" && status=0 || status=$?
grep -E "ERROR SUMMARY|definitely lost|indirectly lost" "$log" | tail -3
echo "memcheck log: $log (exit $status)"
exit $status
