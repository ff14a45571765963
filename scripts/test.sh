#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#   1. the device and store tests under ThreadSanitizer (a build without the interface),
#   2. the core and device tests under AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer,
#      then the fuzz target for a minute on each part (MIDI dispatch, settings files, the library's index and
#      marks) from its seeds,
#   3. the whole suite: unit, device, interface, tool and screen tests, and the Debian package's checks
#      (lintian, AppStream, a throw-away install and purge, the manual page against --help); the interface
#      tests run with no display at all, then once more under a live X server,
#   4. the same suite cross-built for 64-bit Windows and run under Wine, with the installer's silent install
#      and uninstall (scripts/windows-test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh --windows
export CCACHE_SLOPPINESS=time_macros

echo "== ThreadSanitizer build of the device code"
cmake -S . -B build-tsan -G Ninja -DQUILLET_GUI=OFF -DQUILLET_TSAN=ON -DQUILLET_BENCHMARKS=OFF >/dev/null
cmake --build build-tsan --target device_tests core_tests
(cd build-tsan && TSAN_OPTIONS="halt_on_error=1 exitcode=66" \
  ctest --output-on-failure -j2)

echo "== AddressSanitizer and UndefinedBehaviorSanitizer build of the core and device code, and the fuzz run"
cmake -S . -B build-asan -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DQUILLET_GUI=OFF \
  -DQUILLET_FUZZER=ON -DQUILLET_BENCHMARKS=OFF >/dev/null
cmake --build build-asan --target device_tests core_tests quillet_fuzzer
(cd build-asan && ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
  ctest --output-on-failure -j2 -E format_check)
bash tests/fuzz/run.sh build-asan "${QUILLET_FUZZ_SECONDS:-60}"

echo "== Full build and test suite"
cmake -S . -B build -G Ninja >/dev/null
cmake --build build
(cd build && ctest --output-on-failure -j2)
echo "== The interface tests again, under a live X server without a window manager"
xvfb-run -a -s "-screen 0 1280x800x24" build/tests/ui_tests --gtest_brief=1

echo "== Windows cross build and test suite under Wine"
bash scripts/windows-test.sh
