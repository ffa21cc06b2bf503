#!/usr/bin/env bash
# Long fuzz runs: fuzz.sh BUILD_DIR SECONDS TARGET... runs each target in turn
# until it has done 10 million executions or SECONDS have passed, at low
# priority. BUILD_DIR is the sanitizer tree built with clang (scripts/build.sh
# build-asan -DKM360R_GUI=OFF -DKM360R_SANITIZE=ON -DKM360R_BENCH=OFF).
# What a run finds new goes to BUILD_DIR/fuzz-corpus/TARGET, a crashing input
# beside it, the log to BUILD_DIR/fuzz-logs/TARGET.log.
set -uo pipefail
dir=$(cd "$1" && pwd); seconds=$2; shift 2
root=$(cd "$(dirname "$0")/.." && pwd)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$dir/fuzz-logs"
status=0
for target in "$@"; do
  case $target in
    fuzz_config_reader|fuzz_records) max_len=4096 ;;
    fuzz_reply_assembler) max_len=16384 ;;
    *) max_len=65536 ;;
  esac
  mkdir -p "$dir/fuzz-corpus/$target"
  nice -n 15 "$dir/bin/$target" -runs=10000000 -max_total_time="$seconds" -max_len="$max_len" \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$dir/fuzz-corpus/$target-" \
    "$dir/fuzz-corpus/$target" "$root/fuzz/corpus/$target" >"$dir/fuzz-logs/$target.log" 2>&1
  rc=$?
  runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$dir/fuzz-logs/$target.log" | tail -1)
  echo "$target: exit $rc, ${runs:-no final stats}"
  [ $rc -eq 0 ] || status=1
done
exit $status
