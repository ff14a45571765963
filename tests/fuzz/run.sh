#!/usr/bin/env bash
# Runs each part of the fuzz target (the MIDI dispatch, the settings file reader, the library's index and
# marks, the MIDI monitor's decoder) for SECONDS each,
# starting from the seeds in tests/fuzz/corpus/. What the run finds new goes to BUILD_DIR/fuzz/, never into
# the seeds; a crash, a leak, undefined behaviour or a hang fails the run and leaves its input there.
# Usage: tests/fuzz/run.sh BUILD_DIR [SECONDS]   (BUILD_DIR configured with -DQUILLET_FUZZER=ON)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$(cd "$1" && pwd)"
seconds="${2:-60}"
fuzzer="$build/tests/quillet_fuzzer"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
for half in dispatch file library monitor; do
  work="$build/fuzz/$half"
  mkdir -p "$work/corpus"
  echo "fuzzing the ${half} half for ${seconds} s"
  # -timeout: one input may take at most 10 s; -rss_limit_mb: at most 2 GB, a flood of memory is a fault too.
  QUILLET_FUZZ_HALF="$half" "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=8192 -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" "$here/corpus/$half" \
    2>"$work/log.txt" || { tail -n 60 "$work/log.txt"; echo "the fuzz run of the ${half} half failed" >&2; exit 1; }
  grep -E "^stat::number_of_executed_units|^Done" "$work/log.txt" || true
done
