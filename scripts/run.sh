#!/usr/bin/env bash
# Builds km360r and starts it. Without --real, a simulated meter is attached
# through a port directory so that Link finds it at once; with --real, the
# program scans the PC's own serial ports.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
real=0
args=()
for a in "$@"; do
  case "$a" in
    --real) real=1 ;;
    *) args+=("$a") ;;
  esac
done
# Help opens the help file with the desktop's handler: xdg-open, which needs
# `file` to know the file's type, and a viewer for compiled help files.
"$root/scripts/install-deps.sh" xdg-utils file kchmviewer
"$root/scripts/build.sh" "$root/build" -DKM360R_BENCH=OFF
bin="$root/build/bin"

pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT

if [ "$real" = 0 ]; then
  portdir=$(mktemp -d /tmp/km360r-ports.XXXXXX)
  "$bin/km360r-sim" --port-dir "$portdir" --name COM3 &
  pids+=($!)
  export KM360R_PORT_DIR="$portdir"
  echo "Simulated meter attached as COM3 in $portdir"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  # No desktop session: give the program a virtual screen of its own.
  Xvfb :77 -screen 0 1600x900x24 >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=:77
  sleep 1
  echo "No display found: running on the virtual screen $DISPLAY"
fi

"$bin/km360r" "${args[@]+"${args[@]}"}"
