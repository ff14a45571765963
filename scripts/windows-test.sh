#!/usr/bin/env bash
# Cross-builds everything (core, device code, the quillet tool, the editor and all their tests) for 64-bit
# Windows with MinGW-w64 and runs the tests under Wine on a virtual X server: the toolkit's messages between
# threads travel through a window, and Wine makes windows only with a display.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh --windows

# libpng and libjpeg have no MinGW package: they are built for the target from Debian's own sources.
deps="$PWD/build-win/deps"
if [ ! -f "$deps/lib/libpng16.a" ] || [ ! -f "$deps/lib/libjpeg.a" ]; then
  if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    $SUDO tee /etc/apt/sources.list.d/quillet-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    $SUDO apt-get update
  fi
  src="$PWD/build-win/src"
  rm -rf "$src" && mkdir -p "$src"
  (cd "$src" && apt-get source libpng1.6 libjpeg-turbo >/dev/null)
  toolchain="$PWD/cmake/MinGW.cmake"
  cmake -S "$src"/libpng1.6-*/ -B "$src/png" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_INSTALL_PREFIX="$deps" -DCMAKE_BUILD_TYPE=Release -DPNG_SHARED=OFF -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a \
    -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include >/dev/null
  cmake --build "$src/png" && cmake --install "$src/png" >/dev/null
  cmake -S "$src"/libjpeg-turbo-*/ -B "$src/jpeg" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_INSTALL_PREFIX="$deps" -DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF \
    -DWITH_SIMD=OFF >/dev/null
  cmake --build "$src/jpeg" && cmake --install "$src/jpeg" >/dev/null
  # The toolkit's JPEG code includes the library's private header, and declares its types inside a
  # namespace after the Windows headers: "boolean" must be defined there even when rpcndr.h came first.
  cp "$src"/libjpeg-turbo-*/jpegint.h "$deps/include/"
  sed -i 's|^#ifndef __RPCNDR_H__.*$|#if 1|' "$deps/include/jconfig.h"
fi

export CCACHE_SLOPPINESS=time_macros
# A private Wine prefix, made once and kept warm for the whole run: Wine starting a new prefix under
# parallel test processes sometimes fails to start one of them.
export WINEPREFIX="$PWD/build-win/wineprefix" WINEDEBUG=-all
mkdir -p build-win
/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
/usr/lib/wine/wineserver -k 2>/dev/null || true

cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/MinGW.cmake -DQUILLET_GUI=ON -DQUILLET_BENCHMARKS=OFF \
  -DQUILLET_WINDOWS_DEPS="$deps" >/dev/null
# The tests are found (at build time) and run under Wine, with a display; Wine shows a prefix's windows on the
# display its server started with, so the server, the build and the tests share one.
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  /usr/lib/wine/wineserver -p 300
  # Wine starts its long-lived helper processes with the first program: started here, they hold no test'"'"'s
  # output open, which would keep that test from ending.
  /usr/lib/wine/wine64 wineboot >/dev/null 2>&1 </dev/null
  # A failed test is tried once more: now and then Wine fails to start a test at all (no output, over at
  # once). Every test also runs natively in the earlier stages, with no second try.
  cmake --build build-win && (cd build-win && { ctest --output-on-failure -j1 ||
    { echo "trying the failed tests once more under Wine"; ctest --rerun-failed --output-on-failure -j1; }; })
  code=$?
  /usr/lib/wine/wineserver -k 2>/dev/null
  exit $code'
