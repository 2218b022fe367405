#!/usr/bin/env bash
# Windows that fit their screen, through the real program under X as a
# person uses it, each case on an X server of its own size:
# - dialogs: on a laptop's 1366x768 screen the read-only album and the
#   album editor of a 12-photo album, the best album and a book of its
#   photos, the browser of a collection holding it, and every other window
#   of the program, lie inside the screen; on a 1920x1080 screen so do the
#   main window and the edit hub of a root whose album has a long name,
#   title and comment.
# - rebuild: after the hub made a new album and closed with OK, the main
#   window shows every row, drawn: its size and picture are those of the
#   main window of a fresh start over the same root.
# Arguments: the tavolin and albumtool binaries, the screenshot directory,
# the case.
set -euo pipefail
program=$1
albumtool=$2
shots=$3
case=$4

name=screenfit_xdotool
source "$(dirname "$0")/xdotool_session.sh"
need_tools xdotool import /usr/bin/convert compare exiftool

# Each part runs on a display of its own, of the size it needs.
if [[ -z "${SCREENFIT_SCREEN:-}" ]]; then
  run_on() {
    SCREENFIT_SCREEN=$1 run_on_new_display "$1" bash "$0" "$program" "$albumtool" "$shots" "$2"
  }
  case $case in
    dialogs) run_on 1366x768 albums && run_on 1920x1080 hub ;;
    rebuild) run_on 1366x768 rebuild ;;
    *) fail "unknown case $case" ;;
  esac
  exit
fi
screen_w=${SCREENFIT_SCREEN%x*}
screen_h=${SCREENFIT_SCREEN#*x}

begin_session
mkdir -p "$shots"
home=$work/home
import=$work/import
root=$work/root
mkdir -p "$home" "$import" "$root/txt"
printf 'from=%s\r\nalbum=%s\r\nhwaccel=\r\nffmpeg=\r\nplimzev3=true\r\n' "$import" "$root" \
  >"$home/.tavolin"
printf 'Family albums\r\nFamily albums\r\nNewest first.\r\n' >"$root/txt/head.txt"

start() {
  HOME=$home "$program" &
  pid=$!
}
# Every window of the program on the screen (GTK's 1x1 helper windows
# aside) must lie inside it; a screenshot of the screen goes to $1.
check_inside() {
  local w WIDTH HEIGHT X Y SCREEN WINDOW
  sleep 1
  xdotool mousemove "$((screen_w - 1))" "$((screen_h - 1))"
  import -window root "$shots/$1"
  for w in $(xdotool search --onlyvisible --pid "$pid" "" 2>/dev/null); do
    WIDTH=0 HEIGHT=0
    eval "$(xdotool getwindowgeometry --shell "$w" 2>/dev/null)"
    ((WIDTH > 1 || HEIGHT > 1)) || continue # gone meanwhile, or a helper
    if ((X < 0 || Y < 0 || X + WIDTH > screen_w || Y + HEIGHT > screen_h)); then
      fail "'$(xdotool getwindowname "$w")' is ${WIDTH}x${HEIGHT} at $X,$Y, outside the" \
        "${screen_w}x${screen_h} screen (see $shots/$1)"
    fi
  done
}
close_main() {
  local main
  main=$(wait_window 'tavolin - photo albums')
  click_at "$main" -12 -8
  wait_end || fail "the program did not end with 0"
}
# Photos of $2 x $3 pixels named $4-01.jpg ... into directory $1, $5 of
# them, with the EXIF lines of a camera.
photos() {
  local dir=$1 size=$2x$3 prefix=$4 count=$5 i
  /usr/bin/convert -size "$size" gradient:red-blue -quality 80 "$dir/$prefix-01.jpg"
  for i in $(seq -w 2 "$count"); do cp "$dir/$prefix-01.jpg" "$dir/$prefix-$i.jpg"; done
  exiftool -q -q -overwrite_original -Make=Testmaker -Model=T1 -ExposureTime=0.008 -FNumber=5.6 \
    -ISO=200 '-DateTimeOriginal=2024:07:01 10:00:00' "$dir"/*.jpg
}
# Album $2 of the root made by the engine from the photos in $1.
make_album() {
  local from=$1 album=$2 title=$3 head=$4
  # shellcheck disable=SC2046 # the photo names, one word each
  HOME=$home "$albumtool" make "$from" "$root" "$album" "$title" "$head" "" \
    $(cd "$from" && ls -- *.jpg) >/dev/null || fail "albumtool make failed"
}

case $case in
  albums)
    # Photos of a camera's proportions; their thumbnails are 400 x 300.
    photos "$import" 1600 1200 photo 12
    make_album "$import" 2024-07-seaside "Seaside in July" "A week by the sea."
    start
    # The read-only album: the row's open button, two steps along the
    # focus chain of the main window.
    main=$(wait_window 'tavolin - photo albums')
    keys "$main" Tab Tab space
    viewer=$(wait_window Open)
    check_inside readonly_album_1366x768.png
    keys "$viewer" Escape
    wait_closed "$viewer"
    # The album editor: the edit button, then the row's open button of the
    # hub (its private check, title entry, head comment, then the row's
    # private check, name entry and open button).
    open_hub
    check_inside hub_1366x768.png
    keys "$hub" Tab Tab ctrl+Tab Tab Tab space
    editor=$(wait_window Edit "$hub")
    check_inside album_editor_1366x768.png
    keys "$editor" Escape
    wait_closed "$editor"
    hub=$(wait_window Edit) # presented again once its editor is gone
    keys "$hub" Escape
    wait_closed "$hub"
    close_main
    # The best album, a book and a collection's browser over the same
    # photos, each the first row of a root of its own (the browser's with
    # rows enough to overflow the screen).
    for kind in best book browser; do
      other=$work/root-$kind at=$work/root-$kind list="" book=""
      case $kind in
        best) list=good book=_Best ;;
        book) list=print book=_PrintBook ;;
        browser) at=$other/trips ;;
      esac
      mkdir -p "$other/txt" "$at/txt"
      cp "$root/txt/head.txt" "$other/txt/" && cp "$root/txt/head.txt" "$at/txt/"
      cp -al "$root/2024-07-seaside" "$at/"
      if [[ -n $book ]]; then # a new list, not written through the hard link
        rm -f "$at/2024-07-seaside/txt/$list.txt"
        (cd "$import" && printf '%s\r\n' *.jpg) >"$at/2024-07-seaside/txt/$list.txt"
        mkdir -p "$other/$book/txt" && cp "$root/txt/head.txt" "$other/$book/txt/"
        title='Best photos'
      else
        for i in $(seq -w 1 30); do
          mkdir -p "$at/2023-$i/txt" "$at/2023-$i/original"
          cp "$root/txt/head.txt" "$at/2023-$i/txt/"
        done
        title=Open
      fi
      sed -i "s|^album=.*\r\$|album=$other\r|" "$home/.tavolin"
      start
      main=$(wait_window 'tavolin - photo albums')
      keys "$main" Tab Tab space
      dialog=$(wait_window "$title" "$main")
      check_inside "${kind}_1366x768.png"
      keys "$dialog" Escape
      wait_closed "$dialog"
      close_main
    done
    ;;
  hub)
    photos "$import" 320 240 photo 1
    long=$(printf 'a-very-long-album-name-%.0s' {1..8})
    make_album "$import" "$long" "$(printf 'A title that goes on and on %.0s' {1..8})" \
      "$(printf 'A head comment line that runs past any screen %.0s' {1..6})"
    start
    wait_window 'tavolin - photo albums' >/dev/null
    check_inside main_window_long_names_1920x1080.png
    open_hub
    check_inside hub_long_names_1920x1080.png
    keys "$hub" Escape
    wait_closed "$hub"
    close_main
    ;;
  rebuild)
    mkdir -p "$root/2023/txt"
    printf 'The year 2023\r\nThe year 2023\r\nAlbums of the year.\r\n' >"$root/2023/txt/head.txt"
    photos "$import" 320 240 photo 2
    printf 'Holiday\r\nHoliday\r\nBy the sea.\r\n' >"$import/head.txt"
    start
    open_new_album
    keys "$make" alt+o
    wait_closed "$make"
    hub=$(wait_window Edit)
    keys "$hub" alt+o # the hub saves and closes
    wait_closed "$hub"
    sleep 1
    xdotool mousemove "$((screen_w - 1))" "$((screen_h - 1))"
    sleep 0.5
    main=$(wait_window 'tavolin - photo albums')
    shot_window "$main" "$shots/main_window_after_hub.png"
    after=$(xdotool getwindowgeometry "$main" | sed -n 's/.*Geometry: //p')
    close_main
    compgen -G "$root/2*/original" >/dev/null || fail "no new album made"
    # The same root in a fresh start: its window has its natural size.
    start
    main=$(wait_window 'tavolin - photo albums')
    sleep 1
    shot_window "$main" "$shots/main_window_fresh.png"
    fresh=$(xdotool getwindowgeometry "$main" | sed -n 's/.*Geometry: //p')
    close_main
    [[ "$after" == "$fresh" ]] ||
      fail "after the hub the main window is $after, its natural size is $fresh"
    differ=$(compare -metric AE -fuzz 10% "$shots/main_window_after_hub.png" \
      "$shots/main_window_fresh.png" null: 2>&1 || true)
    # Focus and pointer marks aside, the rows look the same.
    ((${differ%%.*} * 100 < ${after%x*} * ${after#*x})) ||
      fail "after the hub the main window shows other pixels than a fresh start ($differ differ)"
    ;;
esac
echo "$name: $case ok, screenshots in $shots"
