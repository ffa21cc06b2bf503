#!/usr/bin/env bash
# `job sync` of 10,000 results (5,000 points at two wavelengths) into an empty
# team server, against its floor: psql's \copy of the same rows into the same
# tables (jobs, their limits, points, results and counts). Each run gets a new
# database made from one that holds the empty tables, and the sync a fresh
# copy of the store; 7 pairs, program and floor alternately, medians printed.
# Run on a server of its own:
#   bash tests/pg/with-server.sh bash bench/floors/sync.sh build/bin/km360r-cli
set -euo pipefail
cli=$(realpath "$1")
: "${KM360R_TEST_SOCKET:?run under tests/pg/with-server.sh}"
pairs=7
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
url() { echo "postgresql:///$1?host=$KM360R_TEST_SOCKET&user=$KM360R_TEST_USER"; }
psql_in() { psql -q -X -v ON_ERROR_STOP=1 "$(url "$1")" "${@:2}"; }
ms() { echo $(( $(date +%s%N) / 1000 )); }  # microseconds
median() { sort -n | awk '{v[NR] = $1} END {printf "%.1f", v[int((NR + 1) / 2)] / 1000}'; }

store="$work/store.sqlite"
"$cli" --store "$store" job new Bench --points P1-P5000
sqlite3 "$store" "INSERT INTO results (uuid, point_id, wavelength_nm, power_dbm, power_mw, verdict, samples,
  span_db, unstable, operator, measured_at)
  SELECT lower(hex(randomblob(16))), p.id, w.nm, -20 - p.id % 9, 0.01, 'PASS', 3, 0.1, 0, 'Ann',
  '2026-12-07T10:00:00+00:00' FROM points p, (SELECT 1310 AS nm UNION ALL SELECT 1490) w"

# The empty tables, made by a sync of an empty store; the rows, as a sync leaves them.
psql_in km360r_test -c "CREATE DATABASE bench_empty" -c "CREATE DATABASE bench_rows"
"$cli" --store "$work/empty.sqlite" --server "$(url bench_empty)" job sync >/dev/null
cp "$store" "$work/rows.sqlite"
"$cli" --store "$work/rows.sqlite" --server "$(url bench_rows)" job sync >/dev/null
tables="jobs job_limits points results job_counts"
for t in $tables; do psql_in bench_rows -c "\\copy $t TO '$work/$t.tsv'"; done
copy_sql="$work/copy.sql"
: > "$copy_sql"
for t in $tables; do echo "\\copy $t FROM '$work/$t.tsv'" >> "$copy_sql"; done

program=() floor=()
for i in $(seq "$pairs"); do
  psql_in km360r_test -c "CREATE DATABASE bench_p$i TEMPLATE bench_empty" -c "CREATE DATABASE bench_f$i TEMPLATE bench_empty"
  cp "$store" "$work/run.sqlite"
  rm -f "$work/run.sqlite-wal" "$work/run.sqlite-shm"
  t0=$(ms); "$cli" --store "$work/run.sqlite" --server "$(url "bench_p$i")" job sync >/dev/null; t1=$(ms)
  program+=($((t1 - t0)))
  t0=$(ms); psql_in "bench_f$i" -1 -f "$copy_sql"; t1=$(ms)
  floor+=($((t1 - t0)))
done
p=$(printf '%s\n' "${program[@]}" | median)
f=$(printf '%s\n' "${floor[@]}" | median)
printf '%-44s program %8s ms   floor %8s ms   %5.2fx\n' "job sync, 10,000 results" "$p" "$f" \
  "$(awk -v p="$p" -v f="$f" 'BEGIN {print p / f}')"
