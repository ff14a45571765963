# Helpers of the screen tests, sourced by them: finding a window by its name and dismissing a message box.
# The sourcing test defines fail; it may set screen_search_options (more options for xdotool search) and
# screen_pause (seconds to wait between presses of a box's button).

find_window() { # name, seconds[, pid]
  local deadline=$((SECONDS + $2))
  while [ $SECONDS -lt $deadline ]; do
    local w
    # shellcheck disable=SC2086
    w=$(xdotool search ${screen_search_options:-} ${3:+--all --pid "$3"} --name "$1" 2>/dev/null | head -n 1 || true)
    if [ -n "$w" ]; then echo "$w"; return 0; fi
    sleep 0.2
  done
  return 1
}

# Keeps pressing a box's button until the box is gone: it may still be appearing when first found.
dismiss() { # title[, screenshot[, seconds to wait for the box]]
  if find_window "$1" "${3:-5}" >/dev/null; then
    sleep "${screen_pause:-0.3}"
    [ -n "${2:-}" ] && { import -window root "$2" || true; }
    for _ in $(seq 20); do
      box=$(xdotool search --name "$1" 2>/dev/null | head -n 1 || true)
      [ -z "$box" ] && break
      xdotool key --window "$box" Return 2>/dev/null || true
      sleep "${screen_pause:-0.3}"
    done
    # A press whose box went before its release leaves the key down on the server, repeating into the
    # next box that opens: let go of it.
    xdotool keyup Return 2>/dev/null || true
    [ -z "$(xdotool search --name "$1" 2>/dev/null || true)" ] || fail "the $1 box would not close"
  fi
}
