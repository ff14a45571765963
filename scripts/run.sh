#!/usr/bin/env bash
# Installs what is missing, builds the editor and the command-line tool (what `cmake --install build`
# installs) and launches the editor.
#   scripts/run.sh                                  the editor, on the system's MIDI ports
#   scripts/run.sh --emulated-keyboard              the same editor attached to a built-in keyboard emulator
#   scripts/run.sh --emulated-keyboard=TROUBLE,...  the emulated keyboard misbehaving as asked, e.g. slow=400
#                                                   (answers 400 ms late: the read-out takes about five seconds)
set -euo pipefail
cd "$(dirname "$0")/.."

say() { echo "run.sh: $*"; }

target=QuilletEditor
binary=quillet-editor
editor_args=()
case "${1:-}" in
  "") ;;
  --emulated-keyboard | --emulated-keyboard=*)
    target=QuilletEditorEmulated; binary=quillet-editor-emulated; editor_args=("$1") ;;
  *) echo "usage: $0 [--emulated-keyboard[=TROUBLE,...]]" >&2; exit 64 ;;
esac

say "checking the Debian packages the build needs"
bash scripts/install-deps.sh
export CCACHE_SLOPPINESS=time_macros
if [ -f build/build.ninja ]; then
  say "building the editor and the quillet tool (only what changed)"
else
  say "building the editor and the quillet tool: the first build takes a few minutes"
fi
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target QuilletEditor quillet "$target"
say "starting the editor (build/$binary${editor_args[*]:+ ${editor_args[*]}})"
exec "./build/$binary" "${editor_args[@]}"
