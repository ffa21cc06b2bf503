#!/usr/bin/env bash
# Configures and builds one build tree: build.sh DIR [cmake options...]
# A sanitizer tree (-DKM360R_SANITIZE=ON) is built with clang 14, which also
# builds the fuzz targets, unless a compiler is named.
set -euo pipefail
dir=$1; shift
root=$(cd "$(dirname "$0")/.." && pwd)
compiler=()
if [[ " $* " == *" -DKM360R_SANITIZE=ON "* && " $* " != *" -DCMAKE_CXX_COMPILER="* ]]; then
  compiler=(-DCMAKE_CXX_COMPILER=clang++-14)
fi
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${compiler[@]}" "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
