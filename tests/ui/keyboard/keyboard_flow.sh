#!/usr/bin/env bash
# The start-up and the main window driven by real key events, as a person
# types them: its own X server (Xvfb), keys and clicks sent through it with
# xdotool, the real orvik binary. The offscreen platform the other window
# tests use cannot show these faults: there the list of completions never
# takes the keyboard.
#
# usage: keyboard_flow.sh ORVIK EXAMPLES_FOLDER CASE
#   CASE: both-names, beyond-ascii, tab-completion, cancel, pane-to-exit
# Exit status 77 (skipped) when Xvfb, xdotool or setxkbmap is missing.
set -euo pipefail

orvik=$1 examples=$2 case=$3
for tool in Xvfb xdotool setxkbmap; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (scripts/install-deps.sh installs xvfb, xdotool and x11-xkb-utils)"
    exit 77
  fi
done

work=$(mktemp -d)
xvfb_pid='' orvik_pid=''
# Servers start and end one at a time (see below).
exec 9>"${TMPDIR:-/tmp}/orvik-keyboard-flow-xvfb.lock"
cleanup() {
  [ -n "$orvik_pid" ] && kill "$orvik_pid" 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then
    flock 9
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL ($case): $*"; [ -s "$work/err" ] && { echo "orvik's standard error:"; cat "$work/err"; }; exit 1; }

# The server picks a free display itself and tells its number. A server
# that is still ending holds its display for a moment, and two servers
# starting at once may pick the same one: so these tests start and end
# their servers one at a time, and start again should ours end before it
# answers.
start_xvfb() {
  : >"$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; kill -0 "$xvfb_pid" 2>/dev/null || return 1; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$work/display")"
  for _ in $(seq 100); do
    kill -0 "$xvfb_pid" 2>/dev/null || return 1
    xdotool getdisplaygeometry >/dev/null 2>&1 && kill -0 "$xvfb_pid" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}
flock 9
for attempt in 1 2 3 4 5; do
  start_xvfb && break
  kill "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=''
  [ "$attempt" -eq 5 ] && fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  sleep 0.$RANDOM
done
flock -u 9
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export LC_ALL=C.UTF-8

# The window whose title is exactly $1 and that is not $2 (the box already
# answered), once it shows. Waits at most 30 seconds.
window_titled() {
  local title=$1 other=${2:-} id
  for _ in $(seq 300); do
    for id in $(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null); do
      [ "$id" != "$other" ] && { echo "$id"; return 0; }
    done
    kill -0 "$orvik_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# The main window: the one titled "Orvik Simulator" at its full width (649 pixels).
main_window() {
  local id
  for _ in $(seq 300); do
    for id in $(xdotool search --onlyvisible --name '^Orvik Simulator$' 2>/dev/null); do
      xdotool getwindowgeometry "$id" | grep -q 'Geometry: 649x' && { echo "$id"; return 0; }
    done
    kill -0 "$orvik_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# Types into the input box that follows the one answered last, then the keys given.
last_box=''
answer_box() {
  local text=$1; shift
  last_box=$(window_titled 'Orvik Simulator' "$last_box") || fail "no new input box to type \"$text\" into"
  xdotool windowfocus --sync "$last_box"
  [ -n "$text" ] && xdotool type --delay 30 "$text"
  [ $# -gt 0 ] && xdotool key --delay 100 "$@"
  return 0
}

# Waits for orvik to end; its exit status must be $1.
expect_exit() {
  local status=0
  for _ in $(seq 300); do kill -0 "$orvik_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$orvik_pid" 2>/dev/null && fail "orvik is still running"
  wait "$orvik_pid" || status=$?
  orvik_pid=''
  [ "$status" -eq "$1" ] || fail "orvik exited with $status, not $1"
}

cp "$examples/countdown.ctl" "$examples/countdown.mem" "$work/"
cd "$work"
"$orvik" >"$work/out" 2>"$work/err" &
orvik_pid=$!

case $case in
  both-names)  # each name with one Return, the list of names open or not
    answer_box countdown.ctl Return
    answer_box countdown.mem Return
    ;;
  beyond-ascii)
    # Keys that carry these letters, as a Polish keyboard has them: xdotool
    # would otherwise remap a key for each letter, which a busy program can
    # read after the mapping has changed back.
    setxkbmap pl
    cp countdown.ctl 'łódź.ctl' && cp countdown.mem 'łódź.mem'
    answer_box 'łódź.ctl' Return
    answer_box 'łódź.mem' Return
    ;;
  tab-completion)  # Tab takes the first name listed, Return accepts it
    answer_box countdown.c Tab Return
    answer_box countdown.m Tab Return
    ;;
  cancel)  # Escape in the box is Cancel: the window says so and asks again
    answer_box '' Escape
    message=$(window_titled Orvik) || fail "no message box after Cancel"
    xdotool windowfocus --sync "$message" key Return
    answer_box countdown.ctl Return
    answer_box countdown.mem Return
    ;;
  pane-to-exit)
    answer_box countdown.ctl Return
    answer_box countdown.mem Return
    ;;
  *) fail "unknown case" ;;
esac

window=$(main_window) || fail "the main window never showed"
case $case in
  pane-to-exit)
    # Into the main-memory pane (twips 120,4800 to 4575,6735), then
    # Ctrl+Shift+Tab to the control before it, Exit, and Space presses it.
    xdotool mousemove --window "$window" 150 380 click 1
    xdotool key --delay 100 ctrl+shift+Tab space
    ;;
  *) xdotool windowfocus --sync "$window" key alt+e ;;
esac
expect_exit 0
echo "ok: $case"
