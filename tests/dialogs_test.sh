#!/usr/bin/env bash
# The editor's boxes under a real window manager (openbox, on a virtual X server), which places and focuses
# windows as a desktop does: the library's Save to Library box opens over the library window, moved away from
# the screen's middle, and takes the title typed at once (the library then lists it); a second box opens there
# too and, cancelled, saves nothing. The About box opens over the main window. The window's size follows each
# zoom step, however quick, and a step that fits the screen is taken; the menu bar's View menu resets it.
# Screenshots are kept in the artifacts folder.
set -euo pipefail

usage="usage: dialogs_test.sh EMULATED_EDITOR QUILLET ARTIFACT_DIR"
editor=$(realpath "${1:?$usage}")
quillet=$(realpath "${2:?$usage}")
artifacts=${3:?$usage}
mkdir -p "$artifacts"

if [ -z "${QUILLET_DIALOGS_INNER:-}" ]; then
  export QUILLET_DIALOGS_INNER=1
  # A server number of its own (see keys_and_zoom_test.sh); a screen where 150 percent fits and 200 does not.
  exec xvfb-run -a -n 131 -s "-screen 0 1600x1000x24" "$0" "$editor" "$quillet" "$artifacts"
fi

work=$(mktemp -d)
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" QUILLET_LIBRARY="$work/library"
mkdir -p "$HOME" "$QUILLET_LIBRARY"
pid='' wm=''
stop() {
  [ -z "$pid" ] || { kill -INT "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; }
  [ -z "$wm" ] || { kill "$wm" 2>/dev/null || true; wait "$wm" 2>/dev/null || true; }
}
trap 'stop; rm -rf "$work"' EXIT

fail() {
  echo "dialogs test: $*" >&2
  import -window root "$artifacts/dialogs-failure.png" 2>/dev/null || true
  sed 's/^/editor: /' "$work/editor.log" >&2 || true
  exit 1
}

# shellcheck source=screen_helpers.sh
source "$(dirname "$0")/screen_helpers.sh"

openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm=$!
for _ in $(seq 50); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.2
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" || fail "openbox did not start"

"$editor" >"$work/editor.log" 2>&1 &
pid=$!
win=$(find_window "emulated keyboard" 60 "$pid") || fail "no window after 60 s"
sleep 1

xdotool key ctrl+l
library=$(find_window "^Setup Library\$" 20 "$pid") || fail "Ctrl+L opened no Setup Library window"
# Away from the screen's middle, where a box placed without its owner would open.
xdotool windowmove --sync "$library" 30 40 || true
sleep 0.5

# From xwininfo: xdotool's position of a window inside a window manager's frame counts the frame twice.
read_geometry() { # window: prints x y width height
  xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
                           /Width:/ { w = $NF } /Height:/ { h = $NF } END { print x, y, w, h }'
}
# A box's middle within 3 pixels of its owner's: the sizes are the screen's, the positions its own.
check_centred() { # box, owner, what
  local bx by bw bh ox oy ow oh
  read -r bx by bw bh <<<"$(read_geometry "$1" || true)"
  read -r ox oy ow oh <<<"$(read_geometry "$2" || true)"
  [ -n "$bh" ] && [ -n "$oh" ] || fail "$3 or its window went before it could be measured"
  local dx=$(((2 * bx + bw) - (2 * ox + ow))) dy=$(((2 * by + bh) - (2 * oy + oh)))
  [ "${dx#-}" -le 6 ] && [ "${dy#-}" -le 6 ] ||
    fail "$3 at ${bw}x${bh}+$bx+$by is not centred on its window at ${ow}x${oh}+$ox+$oy"
}

# The Save to Library button sits at the window's bottom left, 12 pixels in.
open_save_box() {
  local h
  read -r _ _ _ h <<<"$(read_geometry "$library")"
  xdotool mousemove --window "$library" 60 $((h - 26)) click 1
  box=$(find_window "^Save to Library\$" 10 "$pid") || fail "the Save to Library button opened no box"
  sleep 1
}

open_save_box
import -window root "$artifacts/dialogs-save-box.png" || true
check_centred "$box" "$library" "the Save to Library box"
# Every window has the launcher's class, so a dock keeps the library and the boxes with the editor.
for w in "$library" "$box"; do
  xprop -id "$w" WM_CLASS | grep -q '"quillet-editor-emulated"$' ||
    fail "$(xdotool getwindowname "$w") has another class: $(xprop -id "$w" WM_CLASS)"
done
# Typed to whatever has the keyboard: the window manager and the box decide where it goes.
xdotool type --delay 40 "Night Pads"
xdotool key Return
for _ in $(seq 50); do
  "$quillet" library list 2>/dev/null | grep -q "Night Pads" && break
  sleep 0.2
done
listed=$("$quillet" library list 2>&1 || true)
grep -q "Night Pads" <<<"$listed" || fail "the typed title was not saved; the library lists: $listed"
grep -q "New setup" <<<"$listed" && fail "a setup was saved under the proposed title too: $listed"
echo "dialogs test: Save to Library took the title typed at once, over the library window"

# A second box, from the keys alone (Ctrl+S in the library window), opens over the window as well; Escape
# cancels it and nothing more is saved.
xdotool windowmove --sync "$library" 500 300 || true
sleep 0.5
xdotool windowactivate --sync "$library" 2>/dev/null || true
xdotool key ctrl+s
box=$(find_window "^Save to Library\$" 10 "$pid") || fail "Ctrl+S in the library window opened no box"
sleep 1
check_centred "$box" "$library" "the second Save to Library box"
before=$(ls "$QUILLET_LIBRARY" | wc -l)
xdotool type --delay 40 "Not kept"
xdotool key Escape
sleep 1
[ -z "$(xdotool search --name "^Save to Library\$" 2>/dev/null || true)" ] || fail "Escape left the box open"
[ "$(ls "$QUILLET_LIBRARY" | wc -l)" -eq "$before" ] || fail "a cancelled box saved: $(ls "$QUILLET_LIBRARY")"
"$quillet" library list 2>&1 | grep -q "Not kept" && fail "a cancelled box saved its title"
echo "dialogs test: Ctrl+S opened a second box over the moved library window; cancelled, it saved nothing"

# The About box, from the status display's menu (a right-click on the display, at the picture's top left),
# opens over the main window, moved away from the screen's middle too.
xdotool key Escape
xdotool windowmove --sync "$win" 20 420 || true
sleep 0.5
# The display is at 65, 20 in the picture, which starts 149 pixels down in the panel, under the 24 pixels of
# the menu bar; About is its menu's last item.
xdotool mousemove --window "$win" 130 209 click 3
sleep 1
xdotool key Up Return
about=$(find_window "^About Quillet MIDI Control Center\$" 10 "$pid") ||
  fail "the status display's menu opened no About box"
sleep 1
import -window root "$artifacts/dialogs-about.png" || true
check_centred "$about" "$win" "the About box"
dismiss "^About Quillet MIDI Control Center\$"
echo "dialogs test: the About box opened over the main window"

# The zoom under the window manager: two quick steps up, the window's size following each (1063 x 484 at 100
# percent, so 1329 x 605 at 125 and 1594 or 1595 x 726 at 150, which this screen has room for).
size_of() { read_geometry "$1" | awk '{ print $3 "x" $4 }'; }
wait_for_size() { # sizes (a pattern)
  for _ in $(seq 25); do
    [[ "$(size_of "$win")" =~ ^($1)$ ]] && return 0
    sleep 0.2
  done
  return 1
}
xdotool windowmove --sync "$win" 0 0 || true
sleep 0.5
# Each step's size shows, step by step (the window manager given a moment to finish each); then two steps
# 0.4 s apart, and the size stays once the window manager has answered them all.
step() { # key, sizes (a pattern), what
  xdotool key "$1"
  wait_for_size "$2" || fail "$3 the window is $(size_of "$win")"
  sleep 0.5
}
step ctrl+plus "1329x605" "at 125 percent"
step ctrl+plus "1594x726|1595x726" "at 150 percent"
step ctrl+minus "1329x605" "back at 125 percent"
step ctrl+minus "1063x484" "back at 100 percent"
xdotool key ctrl+plus
sleep 0.4
xdotool key ctrl+plus
wait_for_size "1594x726|1595x726" || fail "after two quick steps the window is $(size_of "$win")"
sleep 1
[[ "$(size_of "$win")" =~ ^(1594x726|1595x726)$ ]] ||
  fail "at 150 percent the window became $(size_of "$win")"
import -window root "$artifacts/dialogs-zoom-150.png" || true
echo "dialogs test: the window followed each zoom step, quick ones too, up to 150 percent"

# The menu bar: View (its fourth name, at about 222, 12 at 100 percent, so 333, 18 now) offers Reset Zoom as
# its last item (Zoom In is greyed at 150 percent: the next step does not fit).
xdotool mousemove --window "$win" 333 18 click 1
sleep 1
import -window root "$artifacts/dialogs-view-menu.png" || true
xdotool key Up Return
wait_for_size "1063x484" || fail "Reset Zoom from the View menu left the window at $(size_of "$win")"
echo "dialogs test: the View menu's Reset Zoom brought the window back to 100 percent"
echo "dialogs test: passed"
