#!/usr/bin/env bash
# The real program under X, driven like a person would: a first start with
# an empty HOME shows the option dialog, Return accepts it, the main window
# appears under its title and its Close button ends the program; then the
# main window over a prepared album root is photographed.
# Arguments: the tavolin binary, the directory for the screenshot.
set -euo pipefail
program=$1
shots=$2

name=tavolin_xdotool
source "$(dirname "$0")/xdotool_session.sh"
need_tools xdotool import convert
on_own_display "$@"

begin_session

# Clicks the Close button: the right end of the window's foot row.
close_window() { click_at "$1" -12 -8; }

# 1. First start.
home=$work/home
mkdir -p "$home"
HOME=$home "$program" &
pid=$!
dialog=$(wait_window Options)
keys "$dialog" Return
wait_closed "$dialog"
main=$(wait_window 'tavolin - photo albums')
sleep 0.3
close_window "$main"
wait_end || fail "the program did not end with 0"
grep -q $'^album='"$home"$'/album\r$' "$home/.tavolin" || fail "no settings file with the album root"
[[ -d "$home/album" ]] || fail "album root not made"

# 2. The main window over a prepared root, photographed.
root=$work/root
entry() {  # dir title head-comment-lines... ; the last comment is "the end"
  local dir=$1 title=$2
  shift 2
  mkdir -p "$dir/txt"
  { printf '%s\r\n%s\r\n' "$title" "$title"; for l in "$@"; do printf '%s\r\n' "$l"; done; } >"$dir/txt/head.txt"
  printf 'the end\r\n' >"$dir/txt/last.txt"
}
entry "$root" "Family albums" "Photos of the family, newest first." "Taken with two cameras."
entry "$root/2024-07-seaside" "Seaside in July" "A week by the sea." "Rain on Tuesday."
mkdir -p "$root/2024-07-seaside/original"
printf '3+41+2\n' >"$root/2024-07-seaside/txt/count.txt"
entry "$root/2023" "The year 2023" "Albums of the year."
entry "$root/_Best" "Best photos"
printf '0+12\n' >"$root/_Best/txt/count.txt"
entry "$root/_PrintBook" "To print" "For the wall."
HOME=$home "$program" "$work/import" "$root" &
pid=$!
main=$(wait_window 'tavolin - photo albums')
sleep 0.5
mkdir -p "$shots"
shot_window "$main" "$shots/main_window.png"
close_window "$main"
wait_end || fail "the second run did not end with 0"
echo "tavolin_xdotool: ok, screenshot $shots/main_window.png"
