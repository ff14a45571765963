#!/usr/bin/env bash
# Installs what is missing, builds the editor and the command-line tool (what `cmake --install build`
# installs) and launches the editor.
#   scripts/run.sh                      the editor, on the system's MIDI ports
#   scripts/run.sh --emulated-keyboard  the same editor attached to a built-in keyboard emulator
set -euo pipefail
cd "$(dirname "$0")/.."

target=QuilletEditor
binary=quillet-editor
case "${1:-}" in
  "") ;;
  --emulated-keyboard) target=QuilletEditorEmulated; binary=quillet-editor-emulated ;;
  *) echo "usage: $0 [--emulated-keyboard]" >&2; exit 64 ;;
esac

bash scripts/install-deps.sh
export CCACHE_SLOPPINESS=time_macros
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target QuilletEditor quillet "$target"
exec "./build/$binary"
