#!/usr/bin/env bash
# The main window's size under a window manager (openbox, in Xvfb), changed as a user
# changes it: made larger and smaller, maximized and restored, then closed (maximized) and
# started again ten times. The smallest size the window manager lets it take must stay the same
# whatever size the window had, and every start must give back the size it was left at.
# Usage: window_size_smoke.sh PATH/TO/tillane   Exit 77 (skipped) without xvfb-run, xdotool
# or openbox.
set -uo pipefail
tillane=${1:?usage: window_size_smoke.sh PATH/TO/tillane}

. "$(dirname "$0")/fresh_home.sh"
require_tools "the window's size" xvfb-run xdotool openbox
make_fresh_home
# Openbox's own settings, with one key to maximize and restore.
cat >"$home/openbox.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <keyboard>
    <keybind key="W-Up"><action name="ToggleMaximize"/></keybind>
  </keyboard>
</openbox_config>
EOF

# Inside Xvfb. Every wait is bounded; the outer timeout ends anything left hanging.
drive='
  set -u
  tillane=$1 rc=$2
  openbox --config-file "$rc" >/dev/null 2>&1 &
  for _ in $(seq 1 100); do
    xdotool getactivewindow >/dev/null 2>&1 && break
    sleep 0.1
  done
  fail() { echo "FAILED: $*" >&2; [ -n "${app:-}" ] && kill "$app" 2>/dev/null; exit 1; }
  find_window() {
    local name=$1 id=""
    for _ in $(seq 1 300); do
      kill -0 "$app" 2>/dev/null || { echo "tillane ended before showing \"$name\"" >&2; return 1; }
      id=$(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | head -1)
      [ -n "$id" ] && { echo "$id"; return 0; }
      sleep 0.1
    done
    echo "no window \"$name\" after 30 s" >&2
    return 1
  }
  size_of() {
    local WIDTH="" HEIGHT=""
    eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null | grep -E "^(WIDTH|HEIGHT)=")"
    echo "${WIDTH}x${HEIGHT}"
  }
  # The size once it has stopped changing (the same for a second), at most 10 s on.
  settled_size() {
    local last="" now same=0
    for _ in $(seq 1 100); do
      now=$(size_of "$1")
      if [ "$now" = "$last" ]; then
        same=$((same + 1))
        [ $same -ge 5 ] && break
      else
        same=0
        last=$now
      fi
      sleep 0.2
    done
    echo "$last"
  }
  ask_size() {
    xdotool windowsize "$1" "$2" "$3"
    settled_size "$1"
  }
  # Starts tillane, closes the About box, sets the main window id.
  start() {
    "$tillane" &
    app=$!
    about=$(find_window "About Tillane") || fail "no About box"
    sleep 0.5
    xdotool windowfocus --sync "$about" key Escape
    main=$(find_window "Tillane") || fail "no main window"
    for _ in $(seq 1 50); do
      [ -z "$(xdotool search --onlyvisible --name "^About Tillane\$" 2>/dev/null)" ] && break
      xdotool windowfocus --sync "$about" key Escape 2>/dev/null
      sleep 0.2
    done
  }
  # File > Save & Exit, tried up to three times on a busy machine.
  save_and_exit() {
    for attempt in 1 2 3; do
      xdotool windowfocus --sync "$main" key alt+f
      sleep 0.5
      xdotool key x
      for _ in $(seq 1 70); do
        if ! kill -0 "$app" 2>/dev/null; then
          wait "$app" || fail "tillane ended with status $?"
          return 0
        fi
        sleep 0.1
      done
      xdotool key Escape 2>/dev/null
    done
    fail "tillane still running after File > Save & Exit"
  }

  start
  smallest=$(ask_size "$main" 50 50)
  echo "smallest size: $smallest"
  [ "$(ask_size "$main" 700 500)" = 700x500 ] || fail "the window does not grow to 700x500"
  [ "$(ask_size "$main" 50 50)" = "$smallest" ] || fail "after 700x500 the smallest size is $(size_of "$main"), not $smallest"
  [ "$(ask_size "$main" 640 420)" = 640x420 ] || fail "the window does not take 640x420"
  xdotool windowfocus --sync "$main" key super+Up
  maximized=$(settled_size "$main")
  [ "$maximized" != 640x420 ] || fail "the window does not maximize"
  xdotool windowfocus --sync "$main" key super+Up
  [ "$(settled_size "$main")" = 640x420 ] || fail "restored to $(size_of "$main"), not 640x420"
  [ "$(ask_size "$main" 50 50)" = "$smallest" ] || fail "after maximizing the smallest size is $(size_of "$main"), not $smallest"
  [ "$(ask_size "$main" 640 420)" = 640x420 ] || fail "the window does not take 640x420 again"
  # Left maximized: the next start has the size it had before.
  xdotool windowfocus --sync "$main" key super+Up
  [ "$(settled_size "$main")" = "$maximized" ] || fail "the window does not maximize again"
  save_and_exit
  for run in $(seq 1 10); do
    start
    size=$(settled_size "$main")
    [ "$size" = 640x420 ] || fail "start $run: the window is $size, not 640x420"
    save_and_exit
  done
  exit 0
'
in_xvfb 280 1024x768 bash -c "$drive" _ "$tillane" "$home/openbox.xml"
status=$?
if [ $status -ne 0 ]; then
  echo "FAILED: the window did not keep its size (status $status)"
  exit 1
fi
echo "The window shrinks back to its smallest size, restores its size, and starts ten times at it."
