#!/usr/bin/env bash
# Benchmarks of the team server, run on a server of their own:
#   bash tests/pg/with-server.sh bash bench/team_server.sh build/bin/km360r-cli
# 1. job sync of 10,000 results (5,000 points at two wavelengths) into an empty server;
# 2. job list over a server holding 1,000,000 results in 1,000 jobs (filled once
#    with generate_series), alone and with 20 clients at once.
set -euo pipefail
cli=$(realpath "$1")
: "${KM360R_TEST_SOCKET:?run under tests/pg/with-server.sh}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
url() { echo "postgresql:///$1?host=$KM360R_TEST_SOCKET&user=$KM360R_TEST_USER"; }
psql_in() { psql -q -v ON_ERROR_STOP=1 "$(url "$1")" "${@:2}"; }
ms() { date +%s%N; }

psql_in km360r_test -c "CREATE DATABASE bench_sync" -c "CREATE DATABASE bench_list"

store="$work/bench.sqlite"
"$cli" --store "$store" job new Bench --points P1-P5000
sqlite3 "$store" "INSERT INTO results (uuid, point_id, wavelength_nm, power_dbm, power_mw, verdict, samples,
  span_db, unstable, operator, measured_at)
  SELECT lower(hex(randomblob(16))), p.id, w.nm, -20, 0.01, 'PASS', 3, 0.1, 0, 'Ann', '2026-12-07T10:00:00+00:00'
  FROM points p, (SELECT 1310 AS nm UNION ALL SELECT 1490) w"
t0=$(ms); "$cli" --store "$store" --server "$(url bench_sync)" job sync; t1=$(ms)
echo "sync of 10,000 results: $(( (t1 - t0) / 1000000 )) ms"
t0=$(ms); "$cli" --store "$store" --server "$(url bench_sync)" job sync; t1=$(ms)
echo "the same sync again: $(( (t1 - t0) / 1000000 )) ms"

"$cli" --server "$(url bench_list)" job list >/dev/null  # makes the tables
# Filled as a server of the previous table version (without job_counts), so
# that the first list migrates it and counts what is there.
psql_in bench_list <<'SQL'
DROP TABLE job_counts;
UPDATE km360r_schema SET version = 3;
INSERT INTO jobs (uuid, name, profile_id, profile_name, margin_db, created_at)
  SELECT md5(j::text), 'Job ' || j, 'gpon-b+', 'GPON B+', 2, '2026-12-07T10:00:00+00:00' FROM generate_series(1, 1000) j;
INSERT INTO points (job_id, position, label) SELECT j.id, p, 'P' || p FROM jobs j, generate_series(1, 1000) p;
INSERT INTO results (uuid, point_id, wavelength_nm, power_dbm, power_mw, verdict, samples, span_db, unstable,
  operator, measured_at)
  SELECT md5('r' || id), id, 1310, -20, 0.01, (ARRAY['PASS', 'MARGINAL', 'FAIL'])[1 + id % 3], 3, 0.1, 0, 'Ann',
  '2026-12-07T10:00:00+00:00' FROM points;
VACUUM ANALYZE;
SQL
t0=$(ms); "$cli" --server "$(url bench_list)" job list >/dev/null; t1=$(ms)
echo "the first job list, migrating the server and counting its 1,000,000 results: $(( (t1 - t0) / 1000000 )) ms"
t0=$(ms); "$cli" --server "$(url bench_list)" job list > "$work/list.txt"; t1=$(ms)
echo "job list, 1,000,000 results in $(wc -l < "$work/list.txt") jobs: $(( (t1 - t0) / 1000000 )) ms"
t0=$(ms)
for i in $(seq 20); do "$cli" --server "$(url bench_list)" job list >/dev/null & done
wait
t1=$(ms)
echo "job list by 20 clients at once: all done in $(( (t1 - t0) / 1000000 )) ms"
