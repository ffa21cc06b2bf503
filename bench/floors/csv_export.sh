#!/usr/bin/env bash
# Exporting a 60,000-row history file as CSV (km360r-cli export FILE OUT.csv)
# against iconv converting the same bytes from GBK to UTF-8.
#   bash bench/floors/csv_export.sh build/bin/km360r-cli
cli=$(realpath "$1")
source "$(dirname "$0")/common.sh"
make_hif 60000 "$work/history.hif"
echo "input: $(stat -c %s "$work/history.hif") bytes"
for _ in $(seq "$pairs"); do
  ms_of "$cli" export "$work/history.hif" "$work/out.csv" >>"$work/program"
  ms_of iconv -f GBK -t UTF-8 "$work/history.hif" >>"$work/floor"
done
report "CSV export, 60k rows" "$(median <"$work/program")" "$(median <"$work/floor")" ms
