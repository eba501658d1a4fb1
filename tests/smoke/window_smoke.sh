#!/usr/bin/env bash
# The real window, started as a user starts it: under Xvfb with a fresh home folder, the
# About box closed with Escape, then File > Save & Exit from the keyboard. The data file
# must then exist and load back with the sample data. The main window's class is the one
# the desktop entry names, so that docks show the window with the entry's icon.
# Usage: window_smoke.sh PATH/TO/tillane      Exit 77 (skipped) without xvfb-run, xdotool or xprop.
set -uo pipefail
tillane=${1:?usage: window_smoke.sh PATH/TO/tillane}

. "$(dirname "$0")/fresh_home.sh"
require_tools "the real window" xvfb-run xdotool xprop
startup_class=$(sed -n 's/^StartupWMClass=//p' "$(dirname "$0")/../../packaging/tillane.desktop")
make_fresh_home
data=$home/Documents/default.Tillane

# Inside Xvfb. Every wait is bounded; the outer timeout ends anything left hanging.
drive='
  set -u
  "$1" &
  app=$!
  find_window() {
    local name=$1 id=""
    for _ in $(seq 1 200); do
      kill -0 "$app" 2>/dev/null || { echo "tillane ended before showing \"$name\"" >&2; return 1; }
      id=$(xdotool search --name "^$name\$" 2>/dev/null | head -1)
      [ -n "$id" ] && { echo "$id"; return 0; }
      sleep 0.1
    done
    echo "no window \"$name\" after 20 s" >&2
    return 1
  }
  about=$(find_window "About Tillane") || { kill "$app" 2>/dev/null; exit 1; }
  sleep 0.5
  xdotool windowfocus --sync "$about" key Escape
  main=$(find_window "Tillane") || { kill "$app" 2>/dev/null; exit 1; }
  sleep 0.5
  # WM_CLASS(STRING) = "instance", "class"
  class=$(xprop -id "$main" WM_CLASS | sed -n "s/.*, \"\(.*\)\"\$/\1/p")
  if [ "$class" != "$2" ]; then
    echo "the window class is \"$class\", the desktop entry names \"$2\"" >&2
    kill "$app" 2>/dev/null
    exit 1
  fi
  # On a busy machine a key can arrive before the window or its menu is ready for it:
  # the About box is closed again if it is still there, and File > Save & Exit is tried
  # up to three times.
  for attempt in 1 2 3; do
    left=$(xdotool search --name "^About Tillane\$" 2>/dev/null | head -1)
    [ -n "$left" ] && xdotool windowfocus --sync "$left" key Escape && sleep 0.5
    xdotool windowfocus --sync "$main" key alt+f
    sleep 0.5
    xdotool key x
    for _ in $(seq 1 70); do
      if ! kill -0 "$app" 2>/dev/null; then
        wait "$app"
        exit $?
      fi
      sleep 0.1
    done
    echo "tillane still running 7 s after File > Save & Exit (try $attempt)" >&2
    xdotool key Escape 2>/dev/null
  done
  kill "$app" 2>/dev/null
  exit 1
'
in_xvfb 90 800x600 bash -c "$drive" _ "$tillane" "$startup_class"
status=$?
if [ $status -ne 0 ]; then
  echo "FAILED: the window did not start and close cleanly (status $status)"
  exit 1
fi

if [ ! -s "$data" ]; then
  echo "FAILED: no data file written at $data"
  ls -la "$home/Documents" "$home"
  exit 1
fi
forecast=$(HOME=$home XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/runtime \
  timeout 30 "$tillane" --forecast --file "$data")
status=$?
echo "$forecast"
if [ $status -ne 0 ]; then
  echo "FAILED: the saved data file does not load back (status $status)"
  exit 1
fi
for row in Payday Rent/Mortgage; do
  if ! grep -q " $row " <<<"$forecast"; then
    echo "FAILED: the saved data file has no $row rows"
    exit 1
  fi
done
echo "The window started, closed with File > Save & Exit, and its data file loads back."
