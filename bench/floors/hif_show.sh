#!/usr/bin/env bash
# Opening a 10 MB history file and printing its table (km360r-cli show FILE)
# against iconv converting the same bytes from GBK to UTF-8.
#   bash bench/floors/hif_show.sh build/bin/km360r-cli
cli=$(realpath "$1")
source "$(dirname "$0")/common.sh"
make_hif 75000 "$work/history.hif"
echo "input: $(stat -c %s "$work/history.hif") bytes"
for _ in $(seq "$pairs"); do
  ms_of "$cli" show "$work/history.hif" >>"$work/program"
  ms_of iconv -f GBK -t UTF-8 "$work/history.hif" >>"$work/floor"
done
report "show 10 MB .hif" "$(median <"$work/program")" "$(median <"$work/floor")" ms
