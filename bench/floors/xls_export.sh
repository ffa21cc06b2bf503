#!/usr/bin/env bash
# Exporting a 60,000-row history file as an .xls workbook (km360r-cli export
# FILE OUT.xls): the whole process's peak memory against the input's size, and
# its time against LibreOffice converting the same rows (as CSV) to .xls.
#   bash bench/floors/xls_export.sh build/bin/km360r-cli
cli=$(realpath "$1")
source "$(dirname "$0")/common.sh"
make_hif 60000 "$work/history.hif"
input=$(stat -c %s "$work/history.hif")
"$cli" export "$work/history.hif" "$work/rows.csv"
export HOME="$work/home"  # LibreOffice's profile stays in the work folder
mkdir -p "$HOME" "$work/lo"
for _ in $(seq "$pairs"); do
  peak_kib "$cli" export "$work/history.hif" "$work/out.xls" >>"$work/peak"
  ms_of "$cli" export "$work/history.hif" "$work/out.xls" >>"$work/program"
  ms_of soffice --headless --convert-to xls --outdir "$work/lo" "$work/rows.csv" >>"$work/floor"
done
peak=$(median <"$work/peak")
awk -v p="$peak" -v i="$input" 'BEGIN { printf "xls export, 60k rows: peak %.1f MiB for %.1f MiB in, %.2fx the input\n", p / 1024, i / 1048576, p * 1024 / i }'
report "xls export, 60k rows" "$(median <"$work/program")" "$(median <"$work/floor")" ms
