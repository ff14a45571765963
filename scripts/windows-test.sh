#!/usr/bin/env bash
# Cross-builds the GUI-free part (core, device code, the quillet tool and their tests) for 64-bit Windows
# with MinGW-w64 and runs the tests under Wine, headless. The editor itself is not cross-built yet.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 googletest)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

export CCACHE_SLOPPINESS=time_macros
# A private Wine prefix, made once and kept warm for the whole run: Wine starting a new prefix under
# parallel test processes sometimes fails to start one of them.
export WINEPREFIX="$PWD/build-win/wineprefix" WINEDEBUG=-all
mkdir -p build-win
/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
/usr/lib/wine/wineserver -p 300 || true

cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/MinGW.cmake -DQUILLET_GUI=OFF \
  -DQUILLET_BENCHMARKS=OFF >/dev/null
cmake --build build-win
(cd build-win && ctest --output-on-failure -j1)
/usr/lib/wine/wineserver -k || true
