#!/usr/bin/env bash
# The editor and the tool beside their floors, measured in one run on this machine:
#   - start-up (exec to window mapped), peak memory and idle wake-ups of the editor against a bare JUCE
#     window app, with the fonts installed here and with 88 more font files visible to the toolkit; the peak
#     memory also against the bare window given the parts the first window needs (the picture, text in the
#     embedded faces, the MIDI ports listed), with what each of those parts costs on its own;
#   - the read-out, send-all, load, batch-edit and monitor benchmarks against their Google Benchmark floors (and
#     the read-out with the monitor open beside a stream against it closed; the tool monitoring a flood), the library of
#     10,000 setups: its first listing against the loader, its search, its tags and chips and the memory it holds;
#   - `quillet check` and `quillet syx` as whole processes against a bare JUCE console program, and against
#     the same program loading the system's ALSA library as the tool does.
# Every figure is a median of runs taken in alternation with its floor, printed with its ratio (for the
# whole-process figures, the median of the ratios of the runs taken side by side).
# Usage: bench/compare.sh [BUILD_DIR]   (default: build; RUNS=N sets the paired runs, default 11)
# Needs xvfb-run (package xvfb) and python3.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"

if [ -z "${QUILLET_COMPARE_IN_XVFB:-}" ]; then
  export CCACHE_SLOPPINESS=time_macros
  nice -n 5 cmake --build "$build" --target QuilletEditor quillet bare_window_app bare_console bare_console_alsa safe_write_console process_probe \
    device_bench files_bench library_bench batch_bench monitor_bench >/dev/null
  QUILLET_COMPARE_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$build"
fi

exec python3 "$root/bench/compare.py" "$build"
