#!/usr/bin/env bash
# Builds Qt for Windows once, from Debian's own qt6-base source, with Debian's
# MinGW-w64 (the POSIX thread model), statically, and prints the folder it is
# installed in. The folder lies outside the clone, keyed by the source's
# version and the options below:
#   ${KM360R_CACHE:-~/.cache/km360r}/qt6-mingw-<version>-<options hash>
# A folder is used only when its .complete stamp exists; the stamp is written
# last, so an interrupted build is never taken for a whole one, and the next
# run starts it again. Runs in parallel wait for each other on a lock.
#
# Only what the window needs is built: Core, Gui, Widgets, PrintSupport, Test,
# and the windows, offscreen and minimal platform plugins. The host's tools
# (moc, rcc, uic) are Debian's own Qt of the same version.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${KM360R_CACHE:-$HOME/.cache/km360r}
jobs=${KM360R_JOBS:-$(nproc)}

"$root/scripts/install-deps.sh" dpkg-dev >&2

"$root/scripts/deb-sources.sh" qt6-base >&2
version=$(apt-cache showsrc qt6-base | awk '/^Version:/ {print $2; exit}')
host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
if [ "${version%%+*}" != "${host_version%%+*}" ]; then
  echo "build-qt-windows.sh: the source ($version) and the host's Qt tools ($host_version) differ" >&2
  exit 1
fi

options=(
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  # Modules the window does not use.
  -DFEATURE_opengl=OFF -DFEATURE_dbus=OFF -DFEATURE_network=OFF -DFEATURE_sql=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF
  # Debian's source lacks the tablet header the windows plugin includes, and
  # 6.4 leaves dynamic OpenGL on even without OpenGL: the plugin compiles only
  # with both off (dynamic OpenGL is two features, and the input says "none").
  -DFEATURE_tabletevent=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_opengl_dynamic=OFF -DINPUT_opengl=no
  # Gui builds its DirectWrite font engine and database only with Direct2D,
  # but the windows plugin and the print engine use them whenever DirectWrite
  # is on: a program linking them would miss them. The GDI font engine serves.
  -DFEATURE_directwrite=OFF -DFEATURE_directwrite3=OFF
  # Only the three platform plugins: no Direct2D platform, no image format,
  # style or generic plugins.
  -DFEATURE_direct2d=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF -DFEATURE_jpeg=OFF
  -DFEATURE_style_windowsvista=OFF -DFEATURE_tuiotouch=OFF -DFEATURE_icu=OFF
  # Qt's bundled libraries: MinGW brings none of them.
  -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_freetype=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF
)
# The cross compilers alone: the project's toolchain file also sets the
# program's own definitions, which Qt's sources must not see.
toolchain='set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)'
hash=$(printf '%s\n' "${options[@]}" "$toolchain" "$(x86_64-w64-mingw32-g++-posix -dumpfullversion)" | sha256sum | cut -c1-12)
dest=$cache/qt6-mingw-$version-$hash

mkdir -p "$cache"
exec 9>"$dest.lock"
flock 9
if [ ! -f "$dest/.complete" ]; then
  work=$cache/.build-qt6-mingw-$version-$hash
  rm -rf "$dest" "$work"
  mkdir -p "$work/src"
  start=$(date +%s)
  echo "Building Qt $version for Windows into $dest (once; about 30 processor-minutes)" >&2
  (cd "$work/src" && apt-get source qt6-base >"$work/source.log" 2>&1) || {
    tail -20 "$work/source.log" >&2
    exit 1
  }
  src=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -1)
  printf '%s\n' "$toolchain" >"$work/toolchain.cmake"
  if ! cmake -S "$src" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
    -DCMAKE_INSTALL_PREFIX="$dest" "${options[@]}" >"$work/configure.log" 2>&1; then
    tail -40 "$work/configure.log" >&2
    exit 1
  fi
  if ! cmake --build "$work/build" -j"$jobs" >"$work/build.log" 2>&1; then
    grep -B2 -A10 -m3 'FAILED' "$work/build.log" >&2 || tail -40 "$work/build.log" >&2
    exit 1
  fi
  cmake --install "$work/build" >"$work/install.log" 2>&1 || {
    tail -20 "$work/install.log" >&2
    exit 1
  }
  for p in windows offscreen minimal; do
    ls "$dest"/plugins/platforms/*q"$p"* >/dev/null 2>&1 || {
      echo "build-qt-windows.sh: the $p platform plugin was not built" >&2
      exit 1
    }
  done
  # A window program linked with the windows plugin: a plugin that needs what
  # Gui was built without fails only here, not in Qt's own build.
  mkdir -p "$work/check"
  cat >"$work/check/CMakeLists.txt" <<'CHECK'
cmake_minimum_required(VERSION 3.25)
project(check LANGUAGES CXX)
find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport)
add_executable(check main.cpp)
target_link_libraries(check PRIVATE Qt6::Widgets Qt6::PrintSupport)
qt_import_plugins(check INCLUDE Qt6::QWindowsIntegrationPlugin Qt6::QOffscreenIntegrationPlugin)
CHECK
  printf '#include <QApplication>\n#include <QPrintDialog>\nint main(int c, char** v) { QApplication a(c, v); QPrintDialog d; return 0; }\n' \
    >"$work/check/main.cpp"
  if ! { cmake -S "$work/check" -B "$work/check/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
           -DCMAKE_TOOLCHAIN_FILE="$dest/lib/cmake/Qt6/qt.toolchain.cmake" \
           -DQT_CHAINLOAD_TOOLCHAIN_FILE="$work/toolchain.cmake" \
           -DCMAKE_EXE_LINKER_FLAGS="-static -static-libgcc -static-libstdc++" &&
         cmake --build "$work/check/build"; } >"$work/check.log" 2>&1; then
    tail -20 "$work/check.log" >&2
    exit 1
  fi
  rm -rf "$work"
  echo "Qt for Windows built in $(($(date +%s) - start)) s" >&2
  date -u +%FT%TZ >"$dest/.complete"
fi
echo "$dest"
