#!/usr/bin/env bash
# How long the album program takes to show its album windows over a large
# album and to let them go again, and how much memory it needs for them: a
# benchmark, not a test.
#
#   open_bench.sh [-n PHOTOS] [-r RUNS] [-w WINDOWS] [-c CLOSE] [-k OPENINGS]
#                 [-a ALBUMTOOL] [-d STORE] [-s WxH] BIN_DIR...
#
# Each BIN_DIR holds a tavolin (and its catalog) of a build to measure, a
# Release tree's bin directory for instance; several are measured in turn,
# run by run, so that a machine's changing load falls on all of them alike.
# Once per photo count an album of PHOTOS (default 1000) camera-sized
# photos (6000 x 4000, of little detail, with the EXIF lines of a camera)
# is made with its levels and pages by `albumtool new-album` (ALBUMTOOL,
# else the first BIN_DIR's albumtool: a build with -DBUILD_TESTING=ON makes
# it) and kept in STORE (default ${TMPDIR:-/tmp}/open_bench).
#
# WINDOWS, comma-separated (default view,editor):
#   view    the main window's row Open: the read-only album
#   editor  the edit hub's row Open: the album editor
#   best    the main window's row Open of "_Best", every photo good
#   book    the main window's row Open of "_BestBook", every photo best
#   browser the main window's row Open of a collection of PHOTOS albums
#   hub     the main window's Edit over that collection: the edit hub of
#           PHOTOS albums, after which the main window rebuilds its rows
# Every window is opened RUNS times (default 3) by a fresh program on an X
# server of its own (WxH, default 1920x1080) as a person would, by keys,
# and closed at once by CLOSE (default escape): escape (what the window's
# close button does too), ok, apply or cancel (the editor and the hub; ok
# saves and rebuilds what the program rebuilds after it, apply saves and
# opens the window anew: its times run until the first window is gone and
# the program answers with the new one shown). With OPENINGS (default 1)
# the same program opens and closes the window that often in a row (but
# for OK and APPLY in the editor).
# Printed per opening: the seconds from the key to the window's map; from
# the close key until the window is gone, until the program's event loop
# answers again (a window manager's ping to the main window, sent once the
# window is gone: xping.c, built here), and until the program is idle
# again as well (the window's work after the map, its saving and teardown
# included, also what it leaves to moments when no event waits); the peak
# memory of the program (VmHWM) and its memory
# (VmRSS) before the opening and once idle after the close, in MB; at the
# end the median of each build, window and opening.
set -euo pipefail

photos=1000 runs=3 windows=view,editor albumtool="" store=${TMPDIR:-/tmp}/open_bench
screen=1920x1080 close=escape openings=1
while getopts n:r:w:c:k:a:d:s: opt; do
  case $opt in
    n) photos=$OPTARG ;;
    r) runs=$OPTARG ;;
    w) windows=$OPTARG ;;
    c) close=$OPTARG ;;
    k) openings=$OPTARG ;;
    a) albumtool=$OPTARG ;;
    d) store=$OPTARG ;;
    s) screen=$OPTARG ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
if [[ $# -lt 1 ]]; then
  sed -n '6,7p' "$0" >&2
  exit 2
fi

name=open_bench
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tests/xdotool_session.sh"
need_tools xdotool exiftool /usr/bin/convert cc

bins=()
for b in "$@"; do
  b=$(cd "$b" && pwd) || fail "no directory $b"
  [[ -x "$b/tavolin" ]] || fail "no tavolin in $b"
  bins+=("$b")
done
[[ -n "$albumtool" ]] || albumtool=${bins[0]}/albumtool

# The scratch trees: one album and its roots per photo count.
data=$store/n$photos
home=$data/home
# Below "_" in byte order: in a root with "_Best" or a book, listed
# descending, the album is the second row and the other the first.
album=2024-bench

# Album $album of PHOTOS copies of one photo, made by the engine, in
# $data/album; the roots that show it, each with the album as hard links:
# root-album (the album only), root-best (and "_Best"), root-book (and
# "_BestBook") and root-browser (a collection of PHOTOS albums).
make_data() {
  [[ -f $data/ready ]] && return 0
  [[ -x "$albumtool" ]] || fail "no albumtool at $albumtool (-a, or a build with tests)"
  rm -rf "$data"
  mkdir -p "$home" "$data/import" "$data/album/txt"
  printf 'Albums\r\nAlbums\r\n' >"$data/album/txt/head.txt"
  printf 'from=%s\r\nalbum=%s\r\nhwaccel=\r\nffmpeg=\r\nplimzev3=true\r\n' \
    "$data/import" "$data/album" >"$home/.tavolin"
  local one=$data/import/p00001.jpg i names=()
  # Soft clouds: a camera's size at a small file.
  /usr/bin/convert -seed 7 -size 600x400 plasma:fractal -resize '6000x4000!' -quality 85 "$one"
  exiftool -q -q -overwrite_original -Make=Testmaker -Model=T1 -ExposureTime=0.008 \
    -FNumber=5.6 -ISO=200 '-DateTimeOriginal=2024:07:01 10:00:00' "$one"
  for ((i = 1; i <= photos; i++)); do
    names+=("$(printf 'p%05d.jpg' "$i")")
    ((i == 1)) || ln "$one" "$data/import/${names[-1]}"
  done
  echo "$name: making the album of $photos photos in $data" >&2
  local start=$SECONDS
  HOME=$home "$albumtool" new-album "$data/import" "$data/album" "$album" "Bench" \
    "A large album" "" "${names[@]}" >/dev/null || fail "albumtool new-album failed"
  echo "$name: album made in $((SECONDS - start)) s" >&2

  local a=$data/album/$album r
  for r in album best book browser; do
    mkdir -p "$data/root-$r/txt"
    printf 'Bench\r\nBench\r\n' >"$data/root-$r/txt/head.txt"
  done
  cp -al "$a" "$data/root-album/$album"
  cp -al "$a" "$data/root-best/$album"
  rm -f "$data/root-best/$album/txt/good.txt"
  printf '%s\r\n' "${names[@]}" >"$data/root-best/$album/txt/good.txt"
  mkdir -p "$data/root-best/_Best/txt"
  printf 'Best\r\nBest\r\n' >"$data/root-best/_Best/txt/head.txt"
  cp -al "$a" "$data/root-book/$album"
  rm -f "$data/root-book/$album/txt/best.txt"
  printf '%s\r\n' "${names[@]}" >"$data/root-book/$album/txt/best.txt"
  mkdir -p "$data/root-book/_BestBook/txt"
  printf 'Best book\r\nBest book\r\n' >"$data/root-book/_BestBook/txt/head.txt"
  # A collection of albums: each with its comments, count line and
  # "original" (its rows show the viewer button), no photos.
  local c=$data/root-browser/Collection
  mkdir -p "$c/txt"
  printf 'Collection\r\nCollection\r\nMany albums.\r\n' >"$c/txt/head.txt"
  for ((i = 1; i <= photos; i++)); do
    r=$(printf '%s/a%05d' "$c" "$i")
    mkdir -p "$r/txt" "$r/original"
    printf 'Album %d\r\nAlbum %d\r\nFirst line\r\nSecond line\r\n' "$i" "$i" >"$r/txt/head.txt"
    printf '%d photos\r\n' "$i" >"$r/txt/count.txt"
  done
  touch "$data/ready"
}

# The ping, built once per store.
xping=$store/xping
if [[ ! -x $xping || $here/xping.c -nt $xping ]]; then
  mkdir -p "$store"
  cc -O2 -o "$xping" "$here/xping.c" -lX11 || fail "could not build xping"
fi

# Seconds since the epoch, to the millisecond.
now() { date +%s.%3N; }
# Seconds from $1 to $2 (default now).
span() { awk -v a="$1" -v b="${2:-$(now)}" 'BEGIN { printf "%.2f", b - a }'; }
# Whether $2 seconds have passed since $1.
passed() { awk -v a="$1" -v b="$(now)" -v s="$2" 'BEGIN { exit !(b - a >= s) }'; }
memory_mb() { awk -v key="$1:" '$1 == key {printf "%.0f", $2 / 1024}' "/proc/$pid/status"; }

# Waits until the program has been asleep without using the processor for
# half a second; prints the seconds from $1 to the last time it used it.
wait_idle() {
  local state ticks seen="" busy
  busy=$(now)
  for _ in $(seq 1 "$wait_polls"); do
    read -r state ticks < <(awk '{ print $3, $14 + $15 }' "/proc/$pid/stat")
    if [[ $ticks != "$seen" || $state == R ]]; then
      seen=$ticks busy=$(now)
    elif passed "$busy" 0.5; then
      span "$1" "$busy"
      return 0
    fi
    sleep 0.02
  done
  fail "the program stayed busy"
}

# The shared waits poll often, for up to ten minutes: a map is timed by
# them.
wait_step=0.05 wait_polls=12000

# The program in $1 opening and closing window $2 OPENINGS times: prints
# per opening the build, the window (and the opening's number after the
# first), the seconds to map, to the window gone and to the program idle,
# and the peak, before and after MB.
measure() {
  local bin=$1 window=$2 root title opener main key_path t0 map w gone loop idle before
  local close_key opening
  case $window in
    view) root=album title=Open ;;
    editor) root=album title=Edit ;;
    best) root=best title='Best photos' ;;
    book) root=book title='Best photos' ;;
    browser) root=browser title=Open ;;
    hub) root=browser/Collection title=Edit ;;
    *) fail "unknown window $window" ;;
  esac
  # The buttons' mnemonics; Escape closes a dialog as its close button does.
  case $close in
    escape) close_key=Escape ;;
    ok) close_key=alt+o ;;
    apply) close_key=alt+a ;;
    cancel) close_key=alt+c ;;
    *) fail "unknown close $close" ;;
  esac
  [[ $close == escape || $close == ok || $window == editor || $window == hub ]] ||
    fail "$window has no ${close^}"
  # OK or APPLY in the editor has the hub rebuild its rows, and the focus
  # left where no key path is known.
  [[ $close == escape || $close == cancel || $window != editor || $openings == 1 ]] ||
    fail "${close^^} in the editor: one opening"
  sed -i "s|^album=.*\r\$|album=$data/root-$root\r|" "$home/.tavolin"
  HOME=$home "$bin/tavolin" &
  pid=$!
  main=$(wait_window 'tavolin - photo albums')
  sleep 1
  opener=$main
  # The first row's open button: two steps along the main window's focus
  # chain, or in the hub after its private check, title and head comment
  # and the row's private check and name entry. The hub itself opens by a
  # click on Edit.
  key_path=(Tab Tab)
  if [[ $window == editor ]]; then
    open_hub
    opener=$hub
    sleep 1
    key_path=(Tab Tab ctrl+Tab Tab Tab)
  fi
  for ((opening = 1; opening <= openings; opening++)); do
    before=$(memory_mb VmRSS)
    if [[ $window == hub ]]; then
      t0=$(now)
      open_hub
      w=$hub
    else
      # Once the window has closed, the focus is back on the button that
      # opened it.
      if ((opening == 1)); then
        keys "$opener" "${key_path[@]}"
      else
        focus_window "$opener"
      fi
      t0=$(now)
      xdotool key space
      w=$(wait_window "$title" "$opener")
    fi
    map=$(span "$t0")
    focus_window "$w"
    t0=$(now)
    xdotool key "$close_key"
    wait_closed "$w"
    gone=$(span "$t0")
    "$xping" "$main" 600 || fail "the program did not answer"
    loop=$(span "$t0")
    idle=$(wait_idle "$t0")
    printf '%-32s %-10s %7.2f %7.2f %7.2f %7.2f %7s %7s %7s\n' "${bin%/bin}" \
      "$window$( ((opening == 1)) || echo "#$opening")" "$map" "$gone" "$loop" "$idle" \
      "$(memory_mb VmHWM)" "$before" "$(memory_mb VmRSS)"
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=""
}

columns() { printf '%-32s %-10s %7s %7s %7s %7s %7s %7s %7s\n' build window map_s gone_s loop_s \
  idle_s peak_MB before after; }

if [[ -z "${OPEN_BENCH_INNER:-}" ]]; then
  make_data
  export OPEN_BENCH_INNER=1
  out=$(mktemp)
  run_on_new_display "$screen" bash "$0" -n "$photos" -r "$runs" -w "$windows" -c "$close" \
    -k "$openings" -d "$store" "${bins[@]}" | tee "$out"
  echo
  echo "medians of $runs runs, $photos photos, screen $screen, closed by $close:"
  columns
  awk '$3 ~ /^[0-9.]+$/' "$out" | sort -s -b -k2,2 | awk '
    function median(list,   n, a, i, t, x) {
      n = split(list, a, " ")
      for (i = 1; i <= n; i++) for (t = i + 1; t <= n; t++) if (a[t] < a[i]) { x = a[i]; a[i] = a[t]; a[t] = x }
      return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    { k = $1 " " $2; if (!(k in seen)) { seen[k] = 1; order[++count] = k }
      for (f = 3; f <= 9; f++) v[k, f] = v[k, f] " " $f }
    END { for (i = 1; i <= count; i++) { k = order[i]; split(k, kk, " ")
      printf "%-32s %-10s %7.2f %7.2f %7.2f %7.2f %7.0f %7.0f %7.0f\n", kk[1], kk[2],
        median(v[k, 3]), median(v[k, 4]), median(v[k, 5]), median(v[k, 6]), median(v[k, 7]),
        median(v[k, 8]), median(v[k, 9]) } }'
  rm -f "$out"
  exit 0
fi

begin_session
columns
IFS=, read -r -a wanted <<<"$windows"
for ((run = 1; run <= runs; run++)); do
  for window in "${wanted[@]}"; do
    for bin in "${bins[@]}"; do measure "$bin" "$window"; done
  done
done
