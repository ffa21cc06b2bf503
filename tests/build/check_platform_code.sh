#!/usr/bin/env bash
# The platform rules of the source tree, checked on every test run:
#  - no file in a ui/ folder includes a POSIX header, so the windowed program
#    builds on Windows with Qt alone;
#  - "#ifdef _WIN32" (or "#if defined(_WIN32)", "#ifndef _WIN32") appears only
#    in the platform folders (common/win32, common/posix, device/win32,
#    device/posix) and in the front ends' entry points; everything else is the
#    same code on every system.
# check_platform_code.sh SOURCE_ROOT; exits 1 listing what breaks a rule.
set -euo pipefail
root=${1:?source root}
cd "$root"
status=0

posix='(unistd|termios|fcntl|poll|signal|pty|dirent|pwd|grp|dlfcn|iconv|syslog|sys/[a-z_]+)\.h|csignal'
found=$(grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<($posix)>" --include='*.cpp' --include='*.h' \
  $(find . -path ./build\* -prune -o -type d -name ui -print) || true)
if [ -n "$found" ]; then
  echo "POSIX headers in ui/ folders:"
  echo "$found"
  status=1
fi

allowed='^\./(common/win32|common/posix|device/win32|device/posix)/|^\./(app/ui/main\.cpp|cli/main\.cpp|sim/main\.cpp):'
found=$(grep -rnE '^[[:space:]]*#[[:space:]]*(if|ifdef|ifndef|elif)\b.*_WIN32' --include='*.cpp' --include='*.h' \
  --exclude-dir='build*' --exclude-dir=.git . | grep -vE "$allowed" || true)
if [ -n "$found" ]; then
  echo "_WIN32 outside the platform folders and the entry points:"
  echo "$found"
  status=1
fi
exit $status
