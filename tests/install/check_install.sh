#!/usr/bin/env bash
# Installs the build tree into a scratch prefix and checks the installed
# layout: the executables with config.ini, km360r-cli's report module and the help files in
# lib/km360r, links to them in bin, the menu entry, its icons and the manual page; that a front
# end started through its link reads the config.ini beside its real executable, and that
# km360r-cli started so finds its report module.
#   check_install.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$prefix"
}
trap cleanup EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

status=0
fail() { echo "FAILED: $*" >&2; status=1; }
for f in km360r km360r-cli km360r-sim; do
  [ -x "$prefix/lib/km360r/$f" ] || fail "lib/km360r/$f is not installed"
  [ "$(readlink "$prefix/bin/$f")" = "../lib/km360r/$f" ] || fail "bin/$f is not a link to lib/km360r/$f"
done
for f in lib/km360r/config.ini lib/km360r/km360r-cli-report.so lib/km360r/help_sc.chm lib/km360r/help_qtv_e.chm \
         lib/km360r/help_c.chm lib/km360r/help_e.chm share/applications/km360r.desktop share/man/man1/km360r-cli.1.gz \
         share/icons/hicolor/scalable/apps/km360r.svg share/icons/hicolor/48x48/apps/km360r.png \
         share/icons/hicolor/256x256/apps/km360r.png; do
  [ -s "$prefix/$f" ] || fail "$f is not installed"
done

# The column titles of a real-time reading follow the installed config.ini.
ports="$prefix/ports"
mkdir "$ports"
"$prefix/bin/km360r-sim" --port-dir "$ports" &
sim_pid=$!
for _ in $(seq 100); do [ -e "$ports/COM3" ] && break; sleep 0.1; done
for case in "0 波长" "1 Wavelength"; do
  set -- $case
  printf '[config]\r\nlanguage=%s\r\n' "$1" > "$prefix/lib/km360r/config.ini"
  out=$(cd / && KM360R_PORT_DIR="$ports" "$prefix/bin/km360r-cli" realtime --count 1)
  header=${out%%$'\n'*}
  [[ "$header" == *"$2"* ]] || fail "language $1: header \"$header\" lacks \"$2\""
done

# A job report drawn through the link, by the module beside the real executable.
export KM360R_STORE="$prefix/results.sqlite"
"$prefix/bin/km360r-cli" job new J --points P1 >/dev/null || fail "job new"
(cd / && "$prefix/bin/km360r-cli" job report J "$prefix/j.pdf") || fail "job report through bin/km360r-cli"
[ "$(head -c 5 "$prefix/j.pdf" 2>/dev/null)" = "%PDF-" ] || fail "job report wrote no PDF"
exit $status
