#!/usr/bin/env bash
# The window as a screen reader reads it: the real program under Xvfb, on a private D-Bus
# session with the AT-SPI registry, Qt's accessibility bridge on. The main window and the
# Transaction Editor, Starting Date, Warn Below, Account Editor, Business Days and Update
# Balances dialogs, each opened from the keyboard, are read by accessibility_tree.py: every
# interactive control in sight must have a name and its role, and the summary line must be read.
# Usage: accessibility_smoke.sh PATH/TO/tillane
#   Exit 77 (skipped) without xvfb-run, xdotool, dbus-run-session, at-spi2-core or python3-pyatspi.
set -uo pipefail
tillane=${1:?usage: accessibility_smoke.sh PATH/TO/tillane}
here=$(cd "$(dirname "$0")" && pwd)

. "$here/fresh_home.sh"
require_tools "the accessibility tree" xvfb-run xdotool dbus-run-session /usr/bin/python3
if [ ! -x /usr/libexec/at-spi-bus-launcher ] || ! /usr/bin/python3 -c 'import pyatspi' 2>/dev/null; then
  echo "SKIPPED: at-spi2-core or python3-pyatspi is not installed (scripts/setup installs them);" \
       "the accessibility tree was not read."
  exit 77
fi
make_fresh_home

# Inside Xvfb and the D-Bus session. Every wait is bounded; the outer timeout ends
# anything left hanging.
drive='
  set -u
  tree=$2
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0
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
  fail() { kill "$app" 2>/dev/null; exit 1; }
  # read_dialog TITLE KEYS...: opens the dialog from the main window with the keys, reads
  # it, and closes it with Escape.
  read_dialog() {
    local title=$1 dialog
    shift
    xdotool windowfocus --sync "$main" key "$@"
    dialog=$(find_window "$title") || return 1
    sleep 0.5
    /usr/bin/python3 "$tree" "$title" || status=1
    xdotool windowfocus --sync "$dialog" key Escape
    for _ in $(seq 1 50); do
      [ -z "$(xdotool search --name "^$title\$" 2>/dev/null)" ] && return 0
      sleep 0.1
    done
    echo "\"$title\" did not close with Escape" >&2
    return 1
  }
  about=$(find_window "About Tillane") || fail
  sleep 0.5
  /usr/bin/python3 "$tree" "About Tillane" || status=1
  xdotool windowfocus --sync "$about" key Escape
  main=$(find_window "Tillane") || fail
  sleep 1
  status=0
  /usr/bin/python3 "$tree" "Tillane" --main || status=1
  read_dialog "Transaction Editor" Insert || fail
  read_dialog "Starting Date" alt+s || fail
  read_dialog "Warn Below" alt+w || fail
  read_dialog "Account Editor" ctrl+Tab Insert || fail
  read_dialog "Business Days" alt+e b || fail
  read_dialog "Update Balances" alt+e l || fail
  kill "$app" 2>/dev/null
  wait "$app" 2>/dev/null
  exit $status
'
in_xvfb 150 800x600 dbus-run-session -- bash -c "$drive" _ "$tillane" "$here/accessibility_tree.py"
status=$?
if [ $status -ne 0 ]; then
  echo "FAILED: the accessibility tree is not as a screen reader needs it (status $status)"
  exit 1
fi
echo "Every interactive control of the window and its six dialogs has a name and its role."
