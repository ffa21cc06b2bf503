#!/usr/bin/env bash
# Runs a command with a PostgreSQL server of its own: a cluster in a fresh
# temporary folder, listening on a socket in that folder only (no network
# address), a database km360r_test, and a role km360r_pw that logs in only
# with the password "right". The command finds the server in
# KM360R_TEST_SERVER (a URL for the owner, no password needed) and
# KM360R_TEST_SOCKET (the socket folder). KM360R_TEST_PG_CTL is pg_ctl for the
# cluster, run as its owner, for tests that stop and start the server.
# The server has TLS (a self-signed certificate made here) and a hostssl line
# for 127.0.0.1 only; it listens there only while a test starts it so. The
# server is stopped and the folder removed however the command ends. Exit 77
# (skipped) when no server is installed.
#
# Making a cluster is most of the start-up: with KM360R_PG_TEMPLATE set, the
# cluster this script makes is kept there (once per server version and version
# of this script) and each run starts from a copy of it, as fresh as a new one.
set -euo pipefail
bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
if [ -z "$bindir" ] || [ ! -x "$bindir/initdb" ]; then
  echo "with-server.sh: no PostgreSQL server installed (apt-get install postgresql)" >&2
  exit 77
fi
dir=$(mktemp -d /tmp/km360r-pg.XXXXXX)
chmod 755 "$dir"
as=()
owner=$(id -un)
if [ "$(id -u)" = 0 ]; then
  # The server refuses to run as root: an unprivileged system user owns the cluster.
  owner=km360rtest
  id "$owner" >/dev/null 2>&1 || useradd -r -M -d /nonexistent -s /usr/sbin/nologin "$owner"
  chown "$owner" "$dir"
  # Run from the cluster's folder: the folder this script was started in (a
  # build tree in a clone under /root, say) may be closed to that user, and
  # the server's programs give up when they cannot enter their working folder.
  as=(runuser -u "$owner" -- env -C "$dir")
fi
stop() {
  "${as[@]}" "$bindir/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$dir"
}
trap stop EXIT
# A cluster thrown away after the run: nothing is flushed to disk, which the
# tests do not look at and which costs seconds on a busy machine. Commits still
# reach the operating system before they are acknowledged, so a server stopped
# with -m immediate keeps every acknowledged result.
make_cluster() {
  "${as[@]}" "$bindir/initdb" -D "$1" -U "$owner" -E UTF8 --locale=C --auth-local=trust --no-sync >/dev/null
}
if [ -n "${KM360R_PG_TEMPLATE:-}" ]; then
  template="$KM360R_PG_TEMPLATE-$(basename "$(dirname "$bindir")")-$owner-$(sha1sum "$0" | cut -c1-12)"
  if [ -f "$template/PG_VERSION" ]; then
    cp -a "$template" "$dir/data"
  else
    # Made in the run's folder, which the cluster's owner can reach wherever
    # the template lives, then copied (by this script's user, owners kept)
    # beside its final place and moved there whole: a run that stops
    # half-way leaves no half-made template.
    make_cluster "$dir/data"
    mkdir -p "$(dirname "$template")"
    making=$(mktemp -d "$template.XXXXXX")
    cp -a "$dir/data" "$making/data"
    mv -T "$making/data" "$template" 2>/dev/null || true  # another run may have been first
    rm -rf "$making"
  fi
else
  make_cluster "$dir/data"
fi
printf 'local all %s trust\nlocal all all scram-sha-256\nhostssl all all 127.0.0.1/32 scram-sha-256\n' \
  "$owner" > "$dir/data/pg_hba.conf"
# An elliptic-curve key: made in a moment, where an RSA key takes seconds.
openssl req -new -x509 -days 2 -nodes -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -subj /CN=localhost \
  -keyout "$dir/data/server.key" -out "$dir/data/server.crt" >/dev/null 2>&1
chmod 600 "$dir/data/server.key"
[ ${#as[@]} -eq 0 ] || chown "$owner" "$dir/data/server.key" "$dir/data/server.crt"
printf 'ssl = on\nfsync = off\nfull_page_writes = off\n' >> "$dir/data/postgresql.conf"
"${as[@]}" "$bindir/pg_ctl" -D "$dir/data" -o "-k $dir -h ''" -l "$dir/server.log" -w start >/dev/null
"${as[@]}" "$bindir/psql" -q -h "$dir" -U "$owner" -d postgres -v ON_ERROR_STOP=1 \
  -c "CREATE DATABASE km360r_test" \
  -c "CREATE ROLE km360r_pw LOGIN PASSWORD 'right'" \
  -c "GRANT ALL ON DATABASE km360r_test TO km360r_pw" >/dev/null
export KM360R_TEST_SERVER="postgresql:///km360r_test?host=$dir&user=$owner"
export KM360R_TEST_SOCKET="$dir"
export KM360R_TEST_USER="$owner"
export KM360R_TEST_PG_BIN="$bindir"
export KM360R_TEST_PG_CTL="${as[*]} $bindir/pg_ctl -D $dir/data -l $dir/server.log"
set +e
"$@"
status=$?
set -e
exit $status
