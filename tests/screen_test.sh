#!/usr/bin/env bash
# Launches the real editor under a virtual X server, finds its window by title, checks its size, clicks a
# control of the keyboard picture and checks that the settings panel shows it. Screenshots are kept in
# the artifacts folder.
set -euo pipefail

editor=${1:?usage: screen_test.sh EDITOR_BINARY ARTIFACT_DIR}
artifacts=${2:?usage: screen_test.sh EDITOR_BINARY ARTIFACT_DIR}
mkdir -p "$artifacts"

if [ -z "${QUILLET_SCREEN_INNER:-}" ]; then
  # Without a display the editor must say so plainly and fail, not crash.
  set +e
  headless=$(env -u DISPLAY "$editor" 2>&1)
  code=$?
  set -e
  if [ "$code" -eq 0 ] || [ "$code" -ge 128 ] || ! grep -q "xvfb-run" <<<"$headless"; then
    echo "screen test: without a display the editor exited with $code and said: $headless" >&2
    exit 1
  fi

  export QUILLET_SCREEN_INNER=1
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$editor" "$artifacts"
fi

title="Morvane - The Quillet MIDI Control Center"
work=$(mktemp -d)
"$editor" >"$work/editor.log" 2>&1 &
pid=$!
cleanup() { kill -INT "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

fail() { echo "screen test: $*" >&2; import -window root "$artifacts/screen-failure.png" 2>/dev/null || true; exit 1; }

find_window() { # name, seconds
  local deadline=$((SECONDS + $2))
  while [ $SECONDS -lt $deadline ]; do
    local w
    w=$(xdotool search --name "$1" 2>/dev/null | head -n 1 || true)
    if [ -n "$w" ]; then echo "$w"; return 0; fi
    sleep 0.2
  done
  return 1
}

win=$(find_window "^${title}\$" 15) || fail "no window titled '$title'"

# This machine has no MIDI ports: the scan ends at once and says so. Dismiss that box first.
# The box may still be appearing when it is first found, so keep pressing its button until it is gone.
if find_window "Keyboard Problem" 5 >/dev/null; then
  sleep 0.3
  import -window root "$artifacts/screen-keyboard-problem.png" || true
  for _ in $(seq 20); do
    box=$(xdotool search --name "Keyboard Problem" 2>/dev/null | head -n 1 || true)
    [ -z "$box" ] && break
    xdotool key --window "$box" Return 2>/dev/null || true
    sleep 0.3
  done
  [ -z "$(xdotool search --name "Keyboard Problem" 2>/dev/null || true)" ] || fail "the Keyboard Problem box would not close"
fi

geometry=$(xwininfo -id "$win")
width=$(awk '/Width:/ {print $2}' <<<"$geometry")
height=$(awk '/Height:/ {print $2}' <<<"$geometry")
[ "$width" = 1063 ] && [ "$height" = 460 ] || fail "window is ${width}x${height}, not 1063x460"

grab() { import -window "$win" "$1"; }
grab "$work/before.png"

# Pad #1 lies at (750, 206, 48, 48) in the picture, which sits at y 149 in the window.
xdotool mousemove --window "$win" 774 379 click 1
sleep 1
grab "$work/after.png"
cp "$work/after.png" "$artifacts/screen-after-click.png"

changed() { # x y w h: how many pixels of that area differ between the two shots
  compare -metric AE -crop "$3x$4+$1+$2" "$work/before.png" "$work/after.png" null: 2>&1 | cut -d' ' -f1 || true
}
name_pixels=$(changed 555 32 120 24)
mode_pixels=$(changed 783 32 120 24)
pad_pixels=$(changed 750 355 48 48)
echo "screen test: changed pixels: name field $name_pixels, mode box $mode_pixels, pad $pad_pixels"
[ "${name_pixels%.*}" -gt 50 ] || fail "the Name field did not change after clicking Pad #1"
[ "${mode_pixels%.*}" -gt 50 ] || fail "the Mode box did not fill after clicking Pad #1"
[ "${pad_pixels%.*}" -gt 50 ] || fail "Pad #1 is not shown as selected"

# Closing asks the application to quit; it must leave by itself.
kill -INT "$pid"
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the editor did not quit"
trap 'rm -rf "$work"' EXIT
echo "screen test: passed"
