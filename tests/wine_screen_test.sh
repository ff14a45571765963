#!/usr/bin/env bash
# The Windows editor under Wine on a virtual X server: found by its title, the "Keyboard Problem" box of a
# machine without MIDI dismissed, a control clicked and checked on the screen, screenshots kept.
set -euo pipefail

editor=${1:?usage: wine_screen_test.sh EDITOR_EXE ARTIFACT_DIR WINE}
artifacts=${2:?usage: wine_screen_test.sh EDITOR_EXE ARTIFACT_DIR WINE}
wine=${3:?usage: wine_screen_test.sh EDITOR_EXE ARTIFACT_DIR WINE}
mkdir -p "$artifacts"

# Wine shows every window of a prefix on the display its first process found, so an existing display is
# used as it is; only without one does the test start its own.
if [ -z "${DISPLAY:-}" ] && [ -z "${QUILLET_SCREEN_INNER:-}" ]; then
  export QUILLET_SCREEN_INNER=1
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$editor" "$artifacts" "$wine"
fi

title="Morvane - The Quillet MIDI Control Center"
work=$(mktemp -d)
"$wine" "$editor" >"$work/editor.log" 2>&1 </dev/null &
pid=$!
# Wine's own processes outlive the editor's loader: the prefix's server is told to end them all.
cleanup() { kill "$pid" 2>/dev/null || true; "$(dirname "$wine")/wineserver" -k 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

fail() { echo "wine screen test: $*" >&2; import -window root "$artifacts/wine-screen-failure.png" 2>/dev/null || true; exit 1; }

# Only windows on the screen: Wine keeps hidden windows of its own with the same names.
screen_search_options=--onlyvisible
screen_pause=0.5
# shellcheck source=screen_helpers.sh
source "$(dirname "$0")/screen_helpers.sh"

# Wine's first start in a new prefix takes a while.
win=$(find_window "^${title}\$" 60) || fail "no window titled '$title'"
dismiss "Keyboard Problem" "$artifacts/wine-keyboard-problem.png" 10

sleep 1
import -window "$win" "$work/before.png"
# The panel sits under the menu bar; the coordinates below are the panel's. Pad #1 lies at (750, 206, 48, 48)
# in the picture, which sits at y 149 in the panel.
panel_top=24
xdotool mousemove --window "$win" 774 $((379 + panel_top)) click 1

changed() { # x y w h: how many pixels of that area of the panel differ between the two shots
  compare -metric AE -crop "$3x$4+$1+$(($2 + panel_top))" "$work/before.png" "$work/after.png" null: 2>&1 | cut -d' ' -f1 || true
}
# Wine repaints late on a busy machine: the window is looked at again for up to ten seconds.
for _ in $(seq 20); do
  sleep 0.5
  import -window "$win" "$work/after.png"
  mode_pixels=$(changed 783 32 120 24)
  pad_pixels=$(changed 750 355 48 48)
  [ "${mode_pixels%.*}" -gt 50 ] && [ "${pad_pixels%.*}" -gt 50 ] && break
done
cp "$work/after.png" "$artifacts/wine-screen-after-click.png"
echo "wine screen test: changed pixels: mode box $mode_pixels, pad $pad_pixels"
[ "${mode_pixels%.*}" -gt 50 ] || fail "the Mode box did not fill after clicking Pad #1"
[ "${pad_pixels%.*}" -gt 50 ] || fail "Pad #1 is not shown as selected"
