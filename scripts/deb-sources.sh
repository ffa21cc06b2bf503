#!/usr/bin/env bash
# Makes `apt-get source PACKAGE` work: when the machine has no source entries,
# adds those of the release it runs, from the mirror its binary packages come
# from, and reads the package lists again.
set -euo pipefail
package=${1:?PACKAGE}
apt-get source --print-uris "$package" >/dev/null 2>&1 && exit 0
uri=$(grep -h '^URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null | head -1 | awk '{print $2}' || true)
[ -n "$uri" ] || uri=$(grep -hoE '^deb .*https?://[^ ]+' /etc/apt/sources.list 2>/dev/null | grep -oE 'https?://[^ ]+' | head -1 || true)
cat > /etc/apt/sources.list.d/km360r-deb-src.sources <<SRC
Types: deb-src
URIs: ${uri:-http://deb.debian.org/debian}
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
apt-get update -q
