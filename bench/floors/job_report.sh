#!/usr/bin/env bash
# The job report of 3,000 points measured at two wavelengths as a PDF file
# (km360r-cli job report NAME OUT.pdf) against LibreOffice printing the same
# rows (the job's CSV export) to PDF; pages per second of each.
#   bash bench/floors/job_report.sh build/bin/km360r-cli
cli=$(realpath "$1")
source "$(dirname "$0")/common.sh"
store="$work/bench.sqlite"
"$cli" --store "$store" job new Bench --site "Building A" --operator Ann --profile gpon-b+ --points P1-P3000 >/dev/null
sqlite3 "$store" "INSERT INTO results (uuid, point_id, wavelength_nm, power_dbm, power_mw, verdict, samples,
  span_db, unstable, operator, measured_at)
  SELECT lower(hex(randomblob(16))), p.id, w.nm, -20 - (p.id % 9), 0.01, (CASE p.id % 3 WHEN 0 THEN 'PASS'
  WHEN 1 THEN 'MARGINAL' ELSE 'FAIL' END), 3, 0.1, 0, 'Ann', '2026-12-07T10:00:00+00:00'
  FROM points p, (SELECT 1310 AS nm UNION ALL SELECT 1490) w"
"$cli" --store "$store" job export Bench "$work/rows.csv"
"$cli" --store "$store" job report Bench "$work/report.pdf"
export HOME="$work/home"  # LibreOffice's profile stays in the work folder
mkdir -p "$HOME" "$work/lo"
soffice --headless --convert-to pdf --outdir "$work/lo" "$work/rows.csv" >/dev/null 2>&1  # profile made once
pages=$(pdfinfo "$work/report.pdf" | awk '/^Pages:/ { print $2 }')
floor_pages=$(pdfinfo "$work/lo/rows.pdf" | awk '/^Pages:/ { print $2 }')
echo "pages: program $pages, floor $floor_pages"
for _ in $(seq "$pairs"); do
  ms_of "$cli" --store "$store" job report Bench "$work/report.pdf" >>"$work/program"
  ms_of soffice --headless --convert-to pdf --outdir "$work/lo" "$work/rows.csv" >>"$work/floor"
done
p=$(median <"$work/program")
f=$(median <"$work/floor")
awk -v p="$p" -v f="$f" -v pp="$pages" -v fp="$floor_pages" 'BEGIN {
  printf "job report: program %s ms for %d pages (%.0f pages/s), floor %s ms for %d pages (%.0f pages/s), ratio %.2f\n",
    p, pp, pp * 1000 / p, f, fp, fp * 1000 / f, (pp / p) / (fp / f) }'
