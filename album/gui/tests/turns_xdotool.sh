#!/usr/bin/env bash
# Quarter turns through the real program under X, checked by the colours on
# the screen. The photo is a phone's portrait: four coloured quarters (red,
# green above blue, yellow when upright), its pixels a quarter to the left,
# EXIF orientation 6 and no EXIF thumbnail.
#   picker: the new-album dialog over an import directory holding it shows
#           it upright, the picture the user's quarter turns count from.
#   editor: in an album that imported it turned 270 degrees, the album
#           editor given 90 shows as its preview what OK then saves; its
#           private marker is a FIFO, which OK must not wait on.
# Arguments: the tavolin and albumtool binaries, the screenshot directory,
# the case.
set -euo pipefail
program=$1
albumtool=$2
shots=$3
case_name=$4

name="turns_xdotool $case_name"
source "$(dirname "$0")/xdotool_session.sh"
need_tools xdotool import exiftool
[[ -x /usr/bin/convert ]] || fail "/usr/bin/convert is missing (scripts/deps installs it)"
on_own_display "$@"
begin_session
mkdir -p "$shots"

screen() {  # the whole screen, after the windows have settled, into $1
  sleep 1
  import -window root "$1"
}

# The four colours of a picture by where they lie: top left, top right,
# bottom left, bottom right, each as R, G, B or Y ("?" when a colour is
# missing or two share a place).
colour_order() {
  local c geo w h x y xs=() ys=() sx=0 sy=0 i order=""
  local colours=("#ff0000" "#00ff00" "#0000ff" "#ffff00") letters=(R G B Y)
  for c in "${colours[@]}"; do
    geo=$(/usr/bin/convert "$1" -auto-orient -fuzz 15% -fill black +opaque "$c" \
      -fill white -opaque "$c" -format '%@' info: 2>/dev/null)
    IFS='x+' read -r w h x y <<<"$geo"
    ((w >= 8 && h >= 8)) || { echo "?"; return; }
    xs+=($((x + w / 2)))
    ys+=($((y + h / 2)))
    sx=$((sx + x + w / 2))
    sy=$((sy + y + h / 2))
  done
  local place=(? ? ? ?)
  for i in 0 1 2 3; do
    local p=$(((ys[i] * 4 > sy ? 2 : 0) + (xs[i] * 4 > sx ? 1 : 0)))
    [[ "${place[p]}" == "?" ]] || { echo "?"; return; }
    place[p]=${letters[i]}
  done
  echo "${place[*]}" | tr -d ' '
}

home=$work/home
import=$work/import
root=$work/root
mkdir -p "$home" "$import" "$root"
/usr/bin/convert -size 320x240 xc:'#ff0000' xc:'#00ff00' +append \
  \( -size 320x240 xc:'#0000ff' xc:'#ffff00' +append \) -append -rotate -90 -strip \
  -quality 95 "$import/portrait.jpg"
exiftool -q -q -overwrite_original -Orientation#=6 "$import/portrait.jpg"
[[ "$(colour_order "$import/portrait.jpg")" == RGBY ]] || fail "the test photo is not upright"
[[ -z "$(exiftool -q -q -ThumbnailImage "$import/portrait.jpg")" ]] || fail "EXIF thumbnail"

# A first start: the option dialog over the defaults, accepted.
HOME=$home "$program" &
pid=$!
options=$(wait_window Options)
keys "$options" Return
wait_closed "$options"
main=$(wait_window 'tavolin - photo albums')
click_at "$main" -12 -8
wait_end || fail "the first run did not end with 0"

if [[ "$case_name" == editor ]]; then
  HOME=$home "$albumtool" new-album "$import" "$root" trip Trip "" "" portrait.jpg@3 2>/dev/null ||
    fail "albumtool new-album failed"
  mkfifo "$root/trip/txt/secret.txt"
fi

HOME=$home "$program" "$import" "$root" &
pid=$!
case "$case_name" in
  picker)
    open_new_album
    screen "$shots/turns_picker.png"
    order=$(colour_order "$shots/turns_picker.png")
    [[ "$order" == RGBY ]] || fail "the picker shows the photo as $order, not upright (RGBY)"
    ;;
  editor)
    open_hub
    # Past the title entry and the head comment to the album's Open button.
    keys "$hub" Tab Tab ctrl+Tab Tab Tab space
    editor=$(wait_window Edit "$hub")
    screen "$shots/turns_editor_before.png"
    order=$(colour_order "$shots/turns_editor_before.png")
    [[ "$order" == GYRB ]] || fail "the editor shows the album's photo as $order, not GYRB"
    # Past the thumbnail, the name and the comment: the judgement, Rotate
    # switched on, the angle one step up to 90.
    keys "$editor" Tab Tab Tab ctrl+Tab Tab space Tab Up
    screen "$shots/turns_editor_preview.png"
    preview=$(colour_order "$shots/turns_editor_preview.png")
    keys "$editor" alt+o
    wait_closed "$editor"
    saved=$(colour_order "$root/trip/size1/portrait.jpg")
    [[ "$preview" == "$saved" ]] || fail "the preview shows $preview, OK saved $saved"
    [[ "$saved" == BRYG ]] || fail "size1 is $saved, not the upright photo turned 90 (BRYG)"
    ;;
  *) fail "no case $case_name" ;;
esac
echo "$name: ok, screenshots in $shots"
