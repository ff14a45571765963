#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#   1. the device and store tests under ThreadSanitizer (a build without the interface),
#   2. the whole suite: unit, device, interface, tool and screen tests,
#   3. the same suite cross-built for 64-bit Windows and run under Wine (scripts/windows-test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh --windows
export CCACHE_SLOPPINESS=time_macros

echo "== ThreadSanitizer build of the device code"
cmake -S . -B build-tsan -G Ninja -DQUILLET_GUI=OFF -DQUILLET_TSAN=ON -DQUILLET_BENCHMARKS=OFF >/dev/null
cmake --build build-tsan --target device_tests core_tests
(cd build-tsan && TSAN_OPTIONS="halt_on_error=1 exitcode=66" \
  ctest --output-on-failure -j2)

echo "== Full build and test suite"
cmake -S . -B build -G Ninja >/dev/null
cmake --build build
(cd build && ctest --output-on-failure -j2)

echo "== Windows cross build and test suite under Wine"
bash scripts/windows-test.sh
