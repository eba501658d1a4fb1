#!/usr/bin/env bash
# SIGTERM, SIGHUP and SIGINT close the real window as its close box does. Each is sent on
# a first run while the About box is up: the box is cancelled, the window saves the
# sample data, the lock file goes and the program ends with status 0. Then, with the data
# file changed by another program meanwhile, a signal makes the window ask what to keep,
# and a second signal ends it at once, leaving the other program's file as it was.
# Usage: end_signal_smoke.sh PATH/TO/tillane      Exit 77 (skipped) without xvfb-run or xdotool.
set -uo pipefail
tillane=${1:?usage: end_signal_smoke.sh PATH/TO/tillane}

. "$(dirname "$0")/fresh_home.sh"
require_tools "closing on a signal" xvfb-run xdotool
make_fresh_home
data=$home/Documents/default.Tillane

# Inside Xvfb. Job control keeps SIGINT as it is for the program started in the background.
drive='
  set -u -m
  data=$2
  wait_for_about() {
    for _ in $(seq 1 200); do
      kill -0 "$app" 2>/dev/null || { echo "tillane ended before showing its About box" >&2; return 1; }
      [ -n "$(xdotool search --onlyvisible --name "^About Tillane\$" 2>/dev/null)" ] && return 0
      sleep 0.1
    done
    echo "no About box after 20 s" >&2
    return 1
  }
  # ended SECONDS: waits for the program to end; its status in $status.
  ended() {
    for _ in $(seq 1 $(($1 * 10))); do
      if ! kill -0 "$app" 2>/dev/null; then
        wait "$app"
        status=$?
        return 0
      fi
      sleep 0.1
    done
    return 1
  }
  for signal in TERM HUP INT; do
    rm -f "$data"
    "$1" &
    app=$!
    wait_for_about || exit 1
    sleep 0.3
    kill -s "$signal" "$app"
    ended 20 || { echo "SIG$signal: still running 20 s later" >&2; kill -9 "$app"; exit 1; }
    [ "$status" -eq 0 ] || { echo "SIG$signal: ended with status $status" >&2; exit 1; }
    grep -q Payday "$data" 2>/dev/null || { echo "SIG$signal: the sample data was not saved" >&2; exit 1; }
    [ ! -e "$(dirname "$data")/.default.Tillane.lock" ] || { echo "SIG$signal: the lock file is left" >&2; exit 1; }
    echo "SIG$signal: saved and ended"
  done

  "$1" &
  app=$!
  wait_for_about || exit 1
  sleep 0.3
  printf "theirs\n" >"$data"
  kill -s TERM "$app"
  # The question, over the main window: two visible windows named Tillane.
  asked=""
  for _ in $(seq 1 200); do
    [ "$(xdotool search --onlyvisible --name "^Tillane\$" 2>/dev/null | wc -l)" -ge 2 ] && { asked=yes; break; }
    kill -0 "$app" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$asked" ] || { echo "no question about the changed file" >&2; kill -9 "$app" 2>/dev/null; exit 1; }
  kill -s TERM "$app"
  ended 10 || { echo "still running 10 s after the second signal" >&2; kill -9 "$app"; exit 1; }
  [ "$status" -eq 143 ] || { echo "the second signal ended it with status $status" >&2; exit 1; }
  [ "$(cat "$data")" = theirs ] || { echo "the other program'"'"'s file was written over" >&2; exit 1; }
  echo "a second signal ended it at once"
'
in_xvfb 150 800x600 bash -c "$drive" _ "$tillane" "$data"
status=$?
if [ $status -ne 0 ]; then
  echo "FAILED: the window did not close as asked by the signals (status $status)"
  exit 1
fi
echo "Each signal closed the window with its data saved; a second one ended it at once."
