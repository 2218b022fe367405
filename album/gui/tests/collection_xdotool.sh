#!/usr/bin/env bash
# The collection editor through the real program under X, as a person uses
# it: a first start with an empty HOME (the option dialog accepted), then
# edit, new album, the import directory scanned (three camera JPEGs, a
# movie and the card's own "head.txt" with a title), OK, the progress
# window, the hub again, CANCEL, the album's row in the main window, close.
# Then the album on disk: levels, pages, movie levels. Screenshots of the
# make-album dialog and the hub go to the given directory.
# Arguments: the tavolin binary, the source tree, the screenshot directory.
set -euo pipefail
program=$1
source=$2
shots=$3

name=collection_xdotool
source "$(dirname "$0")/xdotool_session.sh"
need_tools xdotool import convert ffmpeg ffprobe
on_own_display "$@"
begin_session

shot() {
  sleep 0.5
  shot_window "$1" "$shots/$2"
}
mkdir -p "$shots"
home=$work/home
import=$work/import
root=$work/root
mkdir -p "$home" "$import" "$root"
cp "$source"/image/tests/data/{FujiFilm_SP-2500,Olympus_PEN_E-P3,Sony_D700}.jpg "$import/"
ffmpeg -loglevel error -f lavfi -i testsrc=duration=2:size=320x240:rate=15 \
  -c:v libx264 -pix_fmt yuv420p "$import/clip.mov"
printf 'Holiday\r\nHoliday\r\nBy the sea.\r\n' >"$import/head.txt"

# 1. First start: the option dialog over the defaults, accepted.
HOME=$home "$program" &
pid=$!
options=$(wait_window Options)
keys "$options" Return
wait_closed "$options"
main=$(wait_window 'tavolin - photo albums')
click_at "$main" -12 -8
wait_end || fail "the first run did not end with 0"
# This machine has no GPU: the movie settings a user would clear here.
sed -i 's/^hwaccel=.*\r$/hwaccel=\r/; s/^ffmpeg=.*\r$/ffmpeg=\r/' "$home/.tavolin"

# 2. The collection editor on the album root given on the command line.
HOME=$home "$program" "$import" "$root" &
pid=$!
open_new_album
for _ in $(seq 1 100); do
  compgen -G "/tmp/tavolin.*" >/dev/null || break  # movie thumbnails drawn
  sleep 0.1
done
xdotool windowsize "$make" 760 820
shot "$make" make_album_dialog.png
keys "$make" alt+o
wait_closed "$make"
hub=$(wait_window Edit)
shot "$hub" hub.png
keys "$hub" alt+c
wait_closed "$hub"
main=$(wait_window 'tavolin - photo albums')
shot "$main" main_window_with_album.png
click_at "$main" -12 -8
wait_end || fail "the second run did not end with 0"

# 3. The album on disk.
albums=("$root"/2*)
[[ ${#albums[@]} -eq 1 && -d "${albums[0]}" ]] || fail "no album made in $root"
album=${albums[0]}
for f in FujiFilm_SP-2500.jpg Olympus_PEN_E-P3.jpg Sony_D700.jpg clip.mov; do
  cmp -s "$import/$f" "$album/original/$f" || fail "original/$f differs or is missing"
done
[[ ! -e "$album/original/head.txt" && ! -e "$album/txt/head.txt.orig" ]] || fail "head.txt imported"
for f in FujiFilm_SP-2500.jpg Olympus_PEN_E-P3.jpg Sony_D700.jpg; do
  for d in size0 size1 thumb; do
    [[ -s "$album/$d/$f" ]] || fail "$d/$f missing"
  done
done
[[ -s "$album/size2/Olympus_PEN_E-P3.jpg" ]] || fail "size2 of the large photo missing"
for f in index.html list.html; do [[ -s "$album/$f" ]] || fail "$f missing"; done
grep -q 'Sony_D700' "$album/index.html" || fail "index.html lists no photo"
[[ "$(head -n 1 "$album/txt/head.txt")" == $'Holiday\r' ]] || fail "title not from the card's comments"
size=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0 \
  "$album/movie1/clip.mp4")
[[ "$size" == "160,120" ]] || fail "movie1/clip.mp4 is $size"
[[ -s "$album/movie0/clip.mp4" && -s "$album/movie0/clip.jpg" ]] || fail "movie0 missing"
grep -q "$(basename "$album")/" "$root/index.html" || fail "the root page has no row for the album"
echo "collection_xdotool: ok, screenshots in $shots"
