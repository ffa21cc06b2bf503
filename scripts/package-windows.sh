#!/usr/bin/env bash
# Builds the Windows installer from a Windows build tree's bin/ folder:
#
#   package-windows.sh BIN [OUT_DIR]
#
# writes OUT_DIR/km360r-setup-VERSION.exe (OUT_DIR defaults to BIN's parent,
# the build tree), VERSION being the project's version from CMakeLists.txt.
# BIN must hold km360r.exe, km360r-cli.exe, the four help files and
# config.ini; Qt's .qm translations in BIN/translations/ go in too. When
# the help files are missing and BIN belongs to a configured tree, they are
# built there first. The executables are stripped on their way into the
# installer. Installs NSIS (Debian's nsis, makensis) when missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "${1:?usage: package-windows.sh BIN [OUT_DIR]}" && pwd)
out=$(mkdir -p "${2:-$bin/..}" && cd "${2:-$bin/..}" && pwd)

"$root/scripts/install-deps.sh" nsis

version=$(sed -nE 's/^project\(km360r VERSION ([0-9.]+).*/\1/p' "$root/CMakeLists.txt")
[[ "$version" =~ ^[0-9]+\.[0-9]+$ ]] || { echo "package-windows.sh: no version in CMakeLists.txt" >&2; exit 1; }

help_files=(help_sc.chm help_qtv_e.chm help_c.chm help_e.chm)
missing_help=()
for f in "${help_files[@]}"; do [ -s "$bin/$f" ] || missing_help+=("$f"); done
if [ ${#missing_help[@]} -gt 0 ] && [ -f "$bin/../CMakeCache.txt" ]; then
  cmake --build "$bin/.." --target km360r_help
fi

missing=()
for f in km360r.exe km360r-cli.exe "${help_files[@]}" config.ini; do
  [ -s "$bin/$f" ] || missing+=("$f")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "package-windows.sh: $bin lacks ${missing[*]}" >&2
  exit 1
fi

setup=$out/km360r-setup-$version.exe
stage=$(mktemp -d)
# A failed build leaves no installer, whole or partial.
trap 'rm -rf "$stage" "$setup.part"' EXIT
for f in km360r.exe km360r-cli.exe; do
  x86_64-w64-mingw32-strip -o "$stage/$f" "$bin/$f"
done
for f in "${help_files[@]}" config.ini; do cp "$bin/$f" "$stage/"; done

# Qt's translations, in translations/ beside km360r.exe where the window
# looks for them: installed and removed by name.
shopt -s nullglob
translations=("$bin"/translations/*.qm)
mkdir -p "$stage/translations"
{
  echo '!macro InstallTranslations'
  if [ ${#translations[@]} -gt 0 ]; then
    echo '  SetOutPath "$INSTDIR\translations"'
    for f in "${translations[@]}"; do
      cp "$f" "$stage/translations/"
      echo "  File \"\${STAGE}/translations/${f##*/}\""
    done
    echo '  SetOutPath "$INSTDIR"'
  fi
  echo '!macroend'
  echo '!macro DeleteTranslations'
  for f in "${translations[@]}"; do echo "  Delete \"\$INSTDIR\\translations\\${f##*/}\""; done
  echo '  RMDir "$INSTDIR\translations"'
  echo '!macroend'
} >"$stage/translations.nsh"

makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$setup.part" \
  "$root/packaging/windows/km360r.nsi"
mv "$setup.part" "$setup"
echo "$setup: $(stat -c %s "$setup") bytes"
