#!/usr/bin/env bash
# Launches the real editor under a virtual X server, finds its window by title, checks its size, its class,
# icon and size hints, clicks a control of the keyboard picture and checks that the settings panel shows
# it; then opens the editor with a settings file, as the desktop does, changes it and presses the window's
# close box: Cancel keeps the window, Discard quits. Screenshots are kept in the artifacts folder.
set -euo pipefail

usage="usage: screen_test.sh EDITOR_BINARY ARTIFACT_DIR REQUEST_CLOSE_BINARY"
editor=${1:?$usage}
artifacts=${2:?$usage}
request_close=${3:?$usage}
mkdir -p "$artifacts"
editor=$(realpath "$editor")
request_close=$(realpath "$request_close")

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
  # It takes one settings file at most, and no options: a mistake is a usage error, said in one line.
  for args in "one.qmv49 two.qmv49" "--verbose"; do
    set +e
    # shellcheck disable=SC2086
    said=$(env -u DISPLAY "$editor" $args 2>&1)
    code=$?
    set -e
    if [ "$code" -ne 64 ] || ! grep -q "^usage: quillet-editor" <<<"$said"; then
      echo "screen test: 'quillet-editor $args' exited with $code and said: $said" >&2
      exit 1
    fi
  done

  export QUILLET_SCREEN_INNER=1
  # -noreset: the server keeps the names request_close --prepare makes after that client has gone.
  # Its own first server number: two tests that start xvfb-run -a at one moment may both take the first
  # free one, and the second then runs on the first's server.
  exec xvfb-run -a -n 101 -s "-noreset -screen 0 1280x800x24" "$0" "$editor" "$artifacts" "$request_close"
fi

title="Morvane - The Quillet MIDI Control Center"
"$request_close" --prepare
desktop_entry="$(dirname "$0")/../resources/quillet-editor.desktop"
work=$(mktemp -d)
# A zoom the user chose is not this test's: the preferences are read from the scratch folder.
export XDG_CONFIG_HOME="$work/config"
"$editor" >"$work/editor.log" 2>&1 &
pid=$!
cleanup() { kill -INT "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

fail() {
  echo "screen test: $*" >&2
  import -window root "$artifacts/screen-failure.png" 2>/dev/null || true
  sed 's/^/editor: /' "$work/editor.log" >&2 || true
  exit 1
}

# shellcheck source=screen_helpers.sh
source "$(dirname "$0")/screen_helpers.sh"

# Presses a key in a box until the box is gone.
press_in_box() { # title, key
  for _ in $(seq 10); do
    local box
    box=$(xdotool search --all --pid "$pid" --name "$1" 2>/dev/null | head -n 1 || true)
    [ -z "$box" ] && return 0
    sleep 0.3
    xdotool key --window "$box" "$2" 2>/dev/null || true
    sleep 0.5
  done
  fail "the $1 box would not close with $2"
}

# A loaded machine (the other tests run beside this one) can be slow to show the first window; one
# more start is tried before the test gives up.
if ! win=$(find_window "^${title}\$" 30); then
  echo "screen test: no window after 30 s; starting the editor once more" >&2
  kill -INT "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  "$editor" >"$work/editor.log" 2>&1 &
  pid=$!
  win=$(find_window "^${title}\$" 30) || fail "no window titled '$title'"
fi

# Docks pair the windows with their launcher by class, message boxes included.
startup_class=$(sed -n 's/^StartupWMClass=//p' "$desktop_entry")
has_launcher_class() { [ -n "$startup_class" ] && xprop -id "$1" WM_CLASS | grep -q "\"$startup_class\"\$"; }

# This machine has no MIDI ports: the scan ends at once and says so. Dismiss that box first.
box=$(find_window "Keyboard Problem" 5) && { has_launcher_class "$box" || fail "the message box has another class"; }
dismiss "Keyboard Problem" "$artifacts/screen-keyboard-problem.png"

geometry=$(xwininfo -id "$win")
width=$(awk '/Width:/ {print $2}' <<<"$geometry")
height=$(awk '/Height:/ {print $2}' <<<"$geometry")
[ "$width" = 1063 ] && [ "$height" = 484 ] || fail "window is ${width}x${height}, not 1063x484"

# The window has the launcher's class and its own icon; every window manager is told that the size is
# fixed (minimum = maximum).
wm_class=$(xprop -id "$win" WM_CLASS)
has_launcher_class "$win" || fail "window class ($wm_class) is not the launcher's StartupWMClass ($startup_class)"
icon=$(xprop -id "$win" -notype -f _NET_WM_ICON 32c ' $0 $1' _NET_WM_ICON)
[[ "$icon" =~ ^_NET_WM_ICON\ ([0-9]+)\ ([0-9]+)$ ]] && [ "${BASH_REMATCH[1]}" -ge 16 ] \
  || fail "the window has no icon of its own ($icon)"
hints=$(xprop -id "$win" WM_NORMAL_HINTS)
grep -q "minimum size: 1063 by 484" <<<"$hints" && grep -q "maximum size: 1063 by 484" <<<"$hints" \
  || fail "the size hints do not fix the size: $hints"
echo "screen test: $wm_class, icon ${BASH_REMATCH[1]}x${BASH_REMATCH[2]}, size fixed at 1063x484"

grab() { import -window "$1" "$2"; }
grab "$win" "$work/before.png"

# With no window manager, the window has the keyboard only when told (the message box had it); the click
# then brings the keys to the picture too.
xdotool windowfocus --sync "$win" 2>/dev/null || true
# The panel sits under the menu bar; the coordinates below are the panel's. Pad #1 lies at (750, 206, 48, 48)
# in the picture, which sits at y 149 in the panel.
panel_top=24
xdotool mousemove --window "$win" 774 $((379 + panel_top)) click 1

changed() { # x y w h [before after]: how many pixels of that area of the panel differ between two shots
  compare -metric AE -crop "$3x$4+$1+$(($2 + panel_top))" "${5:-$work/before.png}" "${6:-$work/after.png}" null: 2>&1 | cut -d' ' -f1 || true
}
# On a busy machine the window repaints late: it is looked at again for up to ten seconds.
globals_changed() { # before after: whether the keyboard-wide boxes differ between two shots
  for _ in $(seq 20); do
    sleep 0.5
    grab "$win" "$2"
    globals_pixels=$(changed 122 32 288 88 "$1" "$2")
    [ "${globals_pixels%.*}" -gt 200 ] && return 0
  done
  return 1
}
for _ in $(seq 20); do
  sleep 0.5
  grab "$win" "$work/after.png"
  name_pixels=$(changed 555 32 120 24)
  mode_pixels=$(changed 783 32 120 24)
  pad_pixels=$(changed 750 355 48 48)
  [ "${name_pixels%.*}" -gt 50 ] && [ "${mode_pixels%.*}" -gt 50 ] && [ "${pad_pixels%.*}" -gt 50 ] && break
done
cp "$work/after.png" "$artifacts/screen-after-click.png"
echo "screen test: changed pixels: name field $name_pixels, mode box $mode_pixels, pad $pad_pixels"
[ "${name_pixels%.*}" -gt 50 ] || fail "the Name field did not change after clicking Pad #1"
[ "${mode_pixels%.*}" -gt 50 ] || fail "the Mode box did not fill after clicking Pad #1"
[ "${pad_pixels%.*}" -gt 50 ] || fail "Pad #1 is not shown as selected"

# The keys: Left moves the selection from Pad #1 to the breath socket beside it, as a click there would.
# Grabs the window into SHOT until the Name field's pixels against after.png pass TEST (-gt 50: changed,
# -lt 5: as then), for up to 10 s; name_pixels holds the last count.
name_field_until() { # shot, test
  for _ in $(seq 20); do
    sleep 0.5
    grab "$win" "$1"
    name_pixels=$(changed 555 32 120 24 "$work/after.png" "$1")
    [ "${name_pixels%.*}" $2 ] && return 0
  done
  return 0
}
xdotool key Left
name_field_until "$work/keys.png" "-gt 50"
[ "${name_pixels%.*}" -gt 50 ] || fail "Left from Pad #1 did not select another control"
# Enter takes the keys to the Mode box, which shows it; Escape brings them back to the picture, where Right
# selects Pad #1 again (in the Mode box, Right would change the mode instead).
xdotool key Return
sleep 1
grab "$win" "$work/enter.png"
mode_pixels=$(changed 783 32 120 24 "$work/keys.png" "$work/enter.png")
[ "${mode_pixels%.*}" -gt 10 ] || fail "Enter did not take the keys to the Mode box"
xdotool key Escape
sleep 0.5
xdotool key Right
name_field_until "$work/back.png" "-lt 5"
cp "$work/back.png" "$artifacts/screen-after-keys.png"
[ "${name_pixels%.*}" -lt 5 ] || fail "Escape and Right did not bring the selection back to Pad #1"
echo "screen test: the picture answers the arrow keys, Enter and Escape"

# Ctrl+click adds Pad #2 at (823, 206) to the selection: the Name field counts the two and both pads wear the
# veil (Pad #1 inside its new thin edge as before; the mouse is moved off both first).
xdotool mousemove --window "$win" 600 20
sleep 0.5
grab "$win" "$work/one.png"
xdotool keydown ctrl mousemove --window "$win" 847 $((379 + panel_top)) click 1 keyup ctrl mousemove --window "$win" 600 20
for _ in $(seq 20); do
  sleep 0.5
  grab "$win" "$work/many.png"
  name_pixels=$(changed 555 32 120 24 "$work/one.png" "$work/many.png")
  pad2_pixels=$(changed 823 355 48 48 "$work/one.png" "$work/many.png")
  pad1_pixels=$(changed 752 357 44 44 "$work/one.png" "$work/many.png")
  [ "${name_pixels%.*}" -gt 50 ] && [ "${pad2_pixels%.*}" -gt 50 ] && break
done
cp "$work/many.png" "$artifacts/screen-two-pads.png"
echo "screen test: Ctrl+click changed pixels: name field $name_pixels, Pad #2 $pad2_pixels, Pad #1 $pad1_pixels"
[ "${name_pixels%.*}" -gt 50 ] && [ "${pad2_pixels%.*}" -gt 50 ] || fail "Ctrl+click did not select Pad #2"
[ "${pad1_pixels%.*}" -lt 5 ] || fail "Ctrl+click on Pad #2 took Pad #1 out of the selection"

# Closing asks the application to quit; it must leave by itself.
kill -INT "$pid"
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the editor did not quit"

# Opened with a settings file, as the desktop does, the editor loads it while it looks for the keyboard:
# the keyboard-wide boxes, which show the editor's defaults when no keyboard answers, show the file's values.
"$(dirname "$editor")/quillet" defaults "$work/live set.qmv49" || fail "could not write a settings file"
sed -i -e 's|<Param ID="2" Value="1"/>|<Param ID="2" Value="127"/>|' \
  -e 's|<Param ID="1" Value="1"/>|<Param ID="1" Value="127"/>|' -e 's|<Param ID="7" Value="1"/>|<Param ID="7" Value="127"/>|' \
  -e 's|<Param ID="8" Value="60"/>|<Param ID="8" Value="48"/>|' -e 's|<Param ID="5" Value="0"/>|<Param ID="5" Value="3"/>|' \
  "$work/live set.qmv49"
(cd "$work" && exec "$editor" "live set.qmv49") >"$work/editor.log" 2>&1 &
pid=$!
# The title names the file once it is loaded: the window is found by the program's title at its end.
win=$(find_window "${title}\$" 30 "$pid") || fail "no window when opened with a settings file"
dismiss "Keyboard Problem"
loaded=yes
globals_changed "$work/before.png" "$work/opened.png" || loaded=no
cp "$work/opened.png" "$artifacts/screen-opened-with-file.png"
echo "screen test: keyboard-wide values changed pixels after opening a file: $globals_pixels"
[ "$loaded" = yes ] || fail "the settings file given on the command line was not loaded"
named=$(xdotool getwindowname "$win" 2>/dev/null || true)
[ "$named" = "live set.qmv49 - $title" ] || fail "the window's title does not name the file: '$named'"

# Default Values (at 944, 38, 88, 24) changes the loaded settings: the close box asks first. Cancel (Escape)
# keeps the window; Discard (Ctrl+D) lets it close.
xdotool mousemove --window "$win" 988 $((50 + panel_top)) click 1
globals_changed "$work/opened.png" "$work/defaults.png" || fail "Default Values did not change the loaded settings"
# The pointer goes where the close box would be, off the panel.
xdotool mousemove 0 0
question="Unsaved changes"
"$request_close" "$win" || fail "could not press the window's close box"
find_window "$question" 10 "$pid" >/dev/null || fail "closing with unsaved changes asked nothing"
sleep 0.5
import -window root "$artifacts/screen-close-question.png" || true
press_in_box "$question" Escape
sleep 1
kill -0 "$pid" 2>/dev/null || fail "Cancel in the close question quit the editor"
xwininfo -id "$win" >/dev/null 2>&1 || fail "Cancel in the close question closed the window"
"$request_close" "$win" || fail "could not press the window's close box"
find_window "$question" 10 "$pid" >/dev/null || fail "closing again asked nothing"
press_in_box "$question" ctrl+d
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "Discard in the close question did not quit the editor"
wait "$pid" 2>/dev/null || true
echo "screen test: the close box asked; Cancel kept the window and Discard quit"

# A file that is not there is reported as Load... reports it.
"$editor" "$work/not there.qmv49" >"$work/editor.log" 2>&1 &
pid=$!
find_window "File Problem" 15 "$pid" >/dev/null || fail "opening a missing file brought no File Problem box"
import -window root "$artifacts/screen-missing-file.png" || true
# Stopped from outside with the box still open, it quits cleanly.
kill -INT "$pid"
status=0
wait "$pid" 2>/dev/null || status=$?
[ "$status" = 0 ] || fail "stopped with a box open, the editor ended with status $status"

trap 'rm -rf "$work"' EXIT
echo "screen test: passed"
