#!/usr/bin/env bash
# The Browser button of the real program started by its path, as from a
# desktop launcher, with no browser.sh on PATH: without one beside the
# program an error box (titled with message 25) tells that the shell could
# not run it; with one beside the program, that one opens the root page.
# Arguments: the tavolin binary, the directory for the screenshots.
set -euo pipefail
program=$1
shots=$2

name=browser_xdotool
source "$(dirname "$0")/xdotool_session.sh"
need_tools xdotool import convert
# Clicks go to whatever lies under the pointer: run on a display of our
# own, away from the windows of parallel tests.
if [[ -z "${BROWSER_XDOTOOL_DISPLAY:-}" ]]; then
  need_tools xvfb-run
  export BROWSER_XDOTOOL_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

begin_session

# Waits for a visible window of this process whose name matches $1.
find_window() {
  local wid
  for _ in $(seq 1 200); do
    wid=$(xdotool search --all --onlyvisible --pid "$pid" --name "$1" 2>/dev/null | head -n 1 || true)
    if [[ -n "$wid" ]] && xdotool getwindowgeometry "$wid" >/dev/null 2>&1; then
      echo "$wid"
      return 0
    fi
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "$name: the program ended early:" >&2
      cat "$work/stderr" >&2
      return 1
    fi
    sleep 0.1
  done
  echo "$name: no window named '$1'" >&2
  return 1
}

# Clicks the foot row of the main window $1 at $2 pixels from its left
# (the Browser button: the empty root leaves the foot the widest row) or,
# negative, from its right (the Close button).
click_foot() {
  local WIDTH HEIGHT X Y SCREEN WINDOW x
  eval "$(xdotool getwindowgeometry --shell "$1")"
  x=$2
  ((x >= 0)) || x=$((WIDTH + x))
  xdotool mousemove --window "$1" "$x" $((HEIGHT - 8)) click 1
}

# The program copied into a directory of its own, with its catalog; a
# search path without any browser.sh; settings over an empty album root.
prog=$work/prog
mkdir -p "$prog" "$work/home" "$work/root/txt"
cp "$program" "$prog/tavolin"
cp "$(dirname "$program")/tavolin.msg" "$prog/"
printf 'album=%s\r\nfrom=%s\r\n' "$work/root" "$work" >"$work/home/.tavolin"
search=/usr/bin:/bin
PATH=$search command -v browser.sh >/dev/null && fail "browser.sh lies on $search"
error_title=$(sed -n 26p "$prog/tavolin.msg")
mkdir -p "$shots"

# 1. No browser.sh anywhere: the error box.
HOME=$work/home PATH=$search "$prog/tavolin" 2>"$work/stderr" &
pid=$!
main=$(find_window '^tavolin - photo albums$')
sleep 0.5
click_foot "$main" 10
box=$(find_window "^${error_title}\$") || fail "no error box after Browser"
sleep 0.3
shot_window "$box" "$shots/browser_error.png"
xdotool windowfocus "$box"
sleep 0.2
xdotool key --window "$box" Return
for _ in $(seq 1 50); do
  xdotool search --all --onlyvisible --pid "$pid" --name "^${error_title}\$" >/dev/null 2>&1 || break
  sleep 0.1
done
click_foot "$main" -12
wait_end || fail "the program did not end with 0 after the error box"

# 2. browser.sh beside the program: it is run, and no error box shows.
cat >"$prog/browser.sh" <<EOF
#!/bin/sh
for a; do printf '%s\n' "\$a"; done >"$work/browser.args"
EOF
chmod 755 "$prog/browser.sh"
HOME=$work/home PATH=$search "$prog/tavolin" 2>"$work/stderr" &
pid=$!
main=$(find_window '^tavolin - photo albums$')
sleep 0.5
click_foot "$main" 10
for _ in $(seq 1 100); do
  [[ -s "$work/browser.args" ]] && break
  sleep 0.1
done
[[ "$(cat "$work/browser.args" 2>/dev/null)" == $'-noraise\n--new-tab\n'"$work/root/index.html" ]] ||
  fail "browser.sh beside the program was not run on the root page"
sleep 0.5
if xdotool search --all --onlyvisible --pid "$pid" --name "^${error_title}\$" >/dev/null 2>&1; then
  fail "an error box showed although browser.sh ran"
fi
click_foot "$main" -12
wait_end || fail "the program did not end with 0 after the browser"
echo "$name: ok, screenshot $shots/browser_error.png"
