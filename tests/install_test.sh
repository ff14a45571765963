#!/usr/bin/env bash
# Installs the build for one user into a scratch prefix, as the README's `--prefix ~/.local` does, and checks
# what the desktop sees: programs without debug data, a valid menu entry that starts the installed editor
# with the opened file, and *.qmv49 files known as the editor's settings files.
set -euo pipefail

build=${1:?usage: install_test.sh BUILD_DIR}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "install test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 || { cat "$prefix.log" >&2; rm -f "$prefix.log"; fail "cmake --install failed"; }
rm -f "$prefix.log"

for program in quillet-editor quillet-editor-emulated quillet; do
  [ -x "$prefix/bin/$program" ] || fail "$program was not installed"
  if readelf -S "$prefix/bin/$program" | grep -q '\.debug_info'; then
    fail "$program was installed with its debug data ($(du -h "$prefix/bin/$program" | cut -f1))"
  fi
done

entry="$prefix/share/applications/quillet-editor.desktop"
[ -f "$entry" ] || fail "no desktop entry"
desktop-file-validate "$entry" || fail "the desktop entry does not validate"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[ "$exec_line" = "$prefix/bin/quillet-editor %f" ] || fail "the menu entry runs '$exec_line'"
[ -f "$prefix/share/icons/hicolor/256x256/apps/$(sed -n 's/^Icon=//p' "$entry").png" ] || fail "the entry's icon is missing"

sample="$prefix/Live set.qmv49"
"$prefix/bin/quillet" defaults "$sample"
type=$(XDG_DATA_HOME="$prefix/share" xdg-mime query filetype "$sample")
[ "$type" = "$(sed -n 's/^MimeType=\(.*\);$/\1/p' "$entry")" ] || fail "a settings file is of type '$type'"
opener=$(XDG_DATA_HOME="$prefix/share" xdg-mime query default "$type")
[ "$opener" = quillet-editor.desktop ] || fail "settings files open with '$opener'"
echo "install test: $(du -h "$prefix/bin/quillet-editor" | cut -f1) editor, $type opened by $opener"
