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
on_own_display "$@"

begin_session

# The Browser button: the empty root leaves the foot the widest row, so
# its first button starts at the window's left edge; Close ends it.
browser_button() { click_at "$1" 10 -8; }
close_button() { click_at "$1" -12 -8; }

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
HOME=$work/home PATH=$search "$prog/tavolin" &
pid=$!
main=$(wait_window "tavolin - photo albums")
sleep 0.5
browser_button "$main"
box=$(wait_window "$error_title")
sleep 0.3
shot_window "$box" "$shots/browser_error.png"
keys "$box" Return
wait_closed "$box"
close_button "$main"
wait_end || fail "the program did not end with 0 after the error box"

# 2. browser.sh beside the program: it is run, and no error box shows.
printf '#!/bin/sh\nfor a; do printf "%%s\\n" "$a"; done >"%s"\n' "$work/browser.args" \
  >"$prog/browser.sh"
chmod 755 "$prog/browser.sh"
HOME=$work/home PATH=$search "$prog/tavolin" &
pid=$!
main=$(wait_window "tavolin - photo albums")
sleep 0.5
browser_button "$main"
for _ in $(seq 1 100); do
  [[ -s "$work/browser.args" ]] && break
  sleep 0.1
done
[[ "$(cat "$work/browser.args" 2>/dev/null)" == $'-noraise\n--new-tab\n'"$work/root/index.html" ]] ||
  fail "browser.sh beside the program was not run on the root page"
sleep 0.5
[[ -z "$(windows_named "$error_title")" ]] || fail "an error box showed although browser.sh ran"
close_button "$main"
wait_end || fail "the program did not end with 0 after the browser"
echo "$name: ok, screenshot $shots/browser_error.png"
