#!/usr/bin/env bash
# A save reaches the disk in the order that keeps the old file whole whatever happens: the new contents are
# synced before the rename makes them the file, and the folder after it, so the rename itself is kept.
# Seen through a preloaded library that records every fsync and rename of the tool saving a settings file.
# Usage: sync_order_test.sh QUILLET_TOOL SYNC_ORDER_LIBRARY
set -euo pipefail
tool="$1"
shim="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
log="$work/log"

for round in first again; do
  : >"$log"
  LD_PRELOAD="$shim" QUILLET_SYNC_LOG="$log" "$tool" defaults "$work/saved.qmv49" >/dev/null
  target="$(cd "$work" && pwd -P)/saved.qmv49"
  python3 - "$log" "$target" "$round" <<'PY'
import os, sys
log, target, round_ = sys.argv[1:]
lines = [l.rstrip("\n").split(" ") for l in open(log)]
renames = [i for i, l in enumerate(lines) if l[0] == "rename" and os.path.realpath(l[2]) == target]
if len(renames) != 1:
    sys.exit(f"{round_} save: {len(renames)} renames onto the settings file, not one:\n" + open(log).read())
at = renames[0]
temporary = os.path.realpath(lines[at][1])
if not any(l[0] == "fsync" and l[1] == temporary for l in lines[:at]):
    sys.exit(f"{round_} save: the new contents were not synced before the rename:\n" + open(log).read())
folder = os.path.dirname(target)
if not any(l[0] == "fsync" and l[1] == folder for l in lines[at + 1:]):
    sys.exit(f"{round_} save: the folder was not synced after the rename:\n" + open(log).read())
PY
done
echo "synced before the rename, and the folder after it"
