#!/usr/bin/env bash
# Builds the Debian package (km360r_VERSION_ARCH.deb) into the repository's top
# folder: the normal build, then CPack. Install it with
#   apt-get install ./km360r_*.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
# dpkg-shlibdeps (dpkg-dev) works out which library packages the executables need.
if ! command -v dpkg-shlibdeps >/dev/null; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends dpkg-dev
fi
"$root/scripts/build.sh" "$root/build"
rm -f "$root/build/package/"km360r_*.deb
(cd "$root/build" && cpack -B "$root/build/package")
cp "$root/build/package/"km360r_*.deb "$root/"
ls "$root/"km360r_*.deb
