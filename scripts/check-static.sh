#!/usr/bin/env bash
# Static checks of the program's own code: clang-tidy with the checked-in
# .clang-tidy, then cppcheck. check-static.sh [BUILD_DIR] reads the tree's
# compile_commands.json (default: build/, configured here if it is not); the
# windowed tree covers the most code. Exits 0 when both are clean.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build}
missing=()
for p in clang-tidy-14 cppcheck; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q && apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
if [ ! -f "$dir/compile_commands.json" ]; then
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
dir=$(cd "$dir" && pwd)
# Our folders only: the tests' framework and Qt are not ours to fix.
ours="^$root/(app|bench|cli|common|device|fuzz|graph|print|settings|sim|table|tests)/"

status=0
echo "== clang-tidy =="
run-clang-tidy-14 -p "$dir" -quiet -j"$(nproc)" "$ours" >"$dir/clang-tidy.log" 2>&1 || status=1
grep -E '(warning|error): ' "$dir/clang-tidy.log" | sort -u || true

echo "== cppcheck =="
sources=$(grep -oE "\"file\": \"$root/[^\"]*\"" "$dir/compile_commands.json" |
          sed -E 's/"file": "(.*)"/\1/' | grep -E "$ours" | sort -u)
mkdir -p "$dir/cppcheck"
# shellcheck disable=SC2086
cppcheck --quiet --error-exitcode=1 --inline-suppr --std=c++20 --language=c++ \
  --enable=warning,performance,portability --library=qt --library=googletest \
  --cppcheck-build-dir="$dir/cppcheck" -j"$(nproc)" -I "$root" \
  --suppressions-list="$root/scripts/cppcheck-suppressions.txt" $sources || status=1
exit $status
