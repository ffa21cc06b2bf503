#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the simulated meter need,
# and any further packages named as arguments (scripts/run.sh adds what only
# the running program uses). Only missing packages are fetched, so a prepared
# machine starts at once.
set -euo pipefail
packages=(
  cmake g++ make ninja-build pkg-config lld
  clang-14 libclang-rt-14-dev
  qt6-base-dev libgl-dev qt6-translations-l10n
  libsqlite3-dev libpq-dev
  postgresql openssl
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-wqy-microhei
  python3 python3-xlrd poppler-utils libreoffice-calc-nogui sqlite3 time
  fp-utils-3.2.2 libchm-bin
  g++-mingw-w64-x86-64-posix wine wine64 tcl googletest xz-utils
  dpkg-dev openbox xdotool x11-apps netpbm
  "$@"
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
