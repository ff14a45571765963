#!/usr/bin/env bash
# The editor driven by the keyboard alone, under a virtual X server, against the emulated keyboard: the ten
# snapshot buttons set to channel 2 and CC numbers 20 to 29, and the four pads to notes 36 to 39, each in at
# most eight key presses once selected; the result saved and read back with `quillet show`. Then the zoom:
# Ctrl+Plus grows the window by a step, the step is remembered by the next start, Ctrl+0 (pressed in the
# library window) goes back to the desktop's size, and a broken preference file is ignored. Screenshots are
# kept in the artifacts folder.
set -euo pipefail

usage="usage: keys_and_zoom_test.sh EMULATED_EDITOR QUILLET ARTIFACT_DIR REQUEST_CLOSE"
editor=$(realpath "${1:?$usage}")
quillet=$(realpath "${2:?$usage}")
artifacts=${3:?$usage}
request_close=$(realpath "${4:?$usage}")
mkdir -p "$artifacts"

if [ -z "${QUILLET_KEYS_INNER:-}" ]; then
  export QUILLET_KEYS_INNER=1
  # Room for the window at 200 percent; -noreset keeps the names request_close --prepare makes.
  # Its own first server number: two tests that start xvfb-run -a at one moment may both take the first
  # free one, and the second then runs on the first's server.
  exec xvfb-run -a -n 121 -s "-noreset -screen 0 2400x1200x24" "$0" "$editor" "$quillet" "$artifacts" "$request_close"
fi

work=$(mktemp -d)
# The editor's preferences, library and documents stay in the scratch folder.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" QUILLET_LIBRARY="$work/library"
mkdir -p "$HOME"
pid=
stop_editor() {
  [ -n "$pid" ] || return 0
  kill -INT "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=
}
trap 'stop_editor; rm -rf "$work"' EXIT

fail() {
  echo "keys and zoom test: $*" >&2
  import -window root "$artifacts/keys-failure.png" 2>/dev/null || true
  sed 's/^/editor: /' "$work/editor.log" >&2 || true
  exit 1
}

# shellcheck source=screen_helpers.sh
source "$(dirname "$0")/screen_helpers.sh"

"$request_close" --prepare
title="emulated keyboard"
start_editor() {
  "$editor" >>"$work/editor.log" 2>&1 &
  pid=$!
  win=$(find_window "$title" 60 "$pid") || fail "no window after 60 s"
  # No window manager runs here: the test gives the window the keyboard, as one would.
  sleep 1
  "$request_close" --focus "$win"
  sleep 0.3
}

# Presses keys one at a time, with a pause for the editor to follow.
keys() {
  for k in "$@"; do
    xdotool key "$k"
    sleep 0.3
  done
}

# A step of the scenario: its keys, counted, then (where the step opens the series box) the box's keys.
counted=0
step_keys() { # keys...
  counted=$((counted + $#))
  keys "$@"
}
series() { # start
  step_keys ctrl+shift+n
  find_window "^Number Series\$" 10 >/dev/null || fail "no Number Series box"
  local digits=()
  for ((i = 0; i < ${#1}; i++)); do digits+=("${1:i:1}"); done
  step_keys "${digits[@]}" Return
  # Closed, the box leaves the keyboard nowhere (no window manager hands it back).
  sleep 0.5
  "$request_close" --focus "$win"
  sleep 0.3
}
check_count() { # what
  [ "$counted" -le 8 ] || fail "$1 took $counted key presses"
  echo "keys and zoom test: $1 in $counted key presses"
  counted=0
}

start_editor
geometry() { xdotool getwindowgeometry "$win" | awk '/Geometry/ { print $2 }'; }
[ "$(geometry)" = "1063x484" ] || fail "the window opened at $(geometry), not 1063x484"

# Pixels changed around the Level knob (at 20, 198, 26 x 24 in the window, under the menu bar; the keyboard's
# frame reaches 4 pixels outside it) between two grabs of the window.
level_changed() { compare -metric AE -crop 38x36+14+192 "$work/$1.png" "$work/$2.png" null: 2>&1 | cut -d' ' -f1 || true; }
grab() { sleep 0.5; import -window "$win" "$work/$1.png"; }

# Selecting: Tab brings the keys to the picture's first control (Level, framed), Right to Snapshot #1 (the
# frame goes with it); Shift+arrows stretch a band over the ten snapshot buttons.
grab unfocused
keys Tab
grab level-framed
keys Right
grab level-left
[ "$(level_changed unfocused level-framed)" -gt 50 ] || fail "Tab drew no frame around the Level knob"
[ "$(level_changed unfocused level-left)" -lt 5 ] || fail "the frame stayed on the Level knob after Right"
keys shift+Right shift+Right shift+Right shift+Right shift+Down
# Enter goes to the Mode box, Tab to Channel, Down from channel 1 to 2; then the number series from 20.
step_keys Return Tab Down
series 20
check_count "ten snapshot buttons on channel 2 and CC 20 to 29"

keys ctrl+shift+p
series 36
check_count "four pads on notes 36 to 39"
import -window root "$artifacts/keys-after-edits.png" || true

# Saved through the file dialog, its name typed.
keys ctrl+s
dialog=$(find_window "Please select the settings file" 20) || fail "no save dialog"
sleep 1
xdotool windowfocus --sync "$dialog" || true
keys ctrl+a
xdotool type --delay 30 "$work/keys.qmv49"
keys Return
for _ in $(seq 50); do [ -s "$work/keys.qmv49" ] && break; sleep 0.2; done
[ -s "$work/keys.qmv49" ] || fail "nothing was saved"
shown=$("$quillet" show "$work/keys.qmv49")
for n in $(seq 10); do
  grep -Eq "^Snapshot #$n +[A-Za-z. ]+ +2 +$((19 + n)) " <<<"$shown" ||
    fail "Snapshot #$n is not on channel 2, CC $((19 + n)): $(grep "^Snapshot #$n " <<<"$shown")"
done
for n in 1 2 3 4; do
  grep -Eq "^Pad #$n +Midi Note +[A-Za-z0-9]+ +$((35 + n)) " <<<"$shown" ||
    fail "Pad #$n is not on note $((35 + n)): $(grep "^Pad #$n " <<<"$shown")"
done
echo "keys and zoom test: quillet show confirms the snapshot buttons and the pads"

# The zoom: two steps up is 150 percent, remembered by the next start.
"$request_close" --focus "$win"
sleep 0.3
keys ctrl+plus ctrl+plus
sleep 0.5
grown=$(geometry)
[ "$grown" = "1594x726" ] || [ "$grown" = "1595x726" ] || fail "at 150 percent the window is $grown"
import -window root "$artifacts/zoom-150.png" || true
stop_editor
start_editor
[ "$(geometry)" = "$grown" ] || fail "the next start opened at $(geometry), not the $grown chosen"
# Ctrl+0 follows the desktop again (100 percent on this server), and so does the next start; pressed in the
# Setup Library window, it zooms every window.
keys ctrl+l
library=$(find_window "Setup Library" 20) || fail "Ctrl+L opened no Setup Library window"
"$request_close" --focus "$library"
sleep 0.3
keys ctrl+0
sleep 0.5
[ "$(geometry)" = "1063x484" ] || fail "after Ctrl+0 in the library window the main window is $(geometry)"
stop_editor

# A broken preference file is ignored.
printf '<QuilletPreferences Zoom="150%%"><broken' >"$XDG_CONFIG_HOME/quillet49/preferences.xml"
start_editor
[ "$(geometry)" = "1063x484" ] || fail "with a broken preference file the window opened at $(geometry)"
echo "keys and zoom test: the zoom grows the window, is remembered, resets from the library window, and" \
  "survives a broken file"
echo "keys and zoom test: passed"
