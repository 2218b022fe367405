#!/usr/bin/env bash
# How long `albumtool new-album` takes to import a card of movies: a
# benchmark, not a test.
#
#   movie_bench.sh [-n MOVIES] [-t SECONDS] [-P] [-p PHOTOS] [-r RUNS]
#                  [-d STORE] BIN_DIR...
#
# Each BIN_DIR holds an albumtool (and its catalog tavolin.msg) of a build
# to measure, a Release tree's bin directory with -DBUILD_TESTING=ON for
# instance; several are measured in turn, run by run, so that a machine's
# changing load falls on all of them alike.
# The card, made once per shape and kept in STORE (default
# ${TMPDIR:-/tmp}/movie_bench): MOVIES (default 4) H.264 movies of SECONDS
# (default 10) at 1920x1080, 30 fps, with AAC sound, made from ffmpeg's
# test sources (each movie's hues turned another way); with -P the last one
# is a portrait movie of 1080x1920. PHOTOS (default 0) camera-sized photos
# (6000x4000, of little detail, with the EXIF lines of a camera) join them.
# The settings are those advised without a hardware encoder: `hwaccel`
# empty, `ffmpeg` "-c:v libx264 -crf 23 -pix_fmt yuv420p".
# Every build imports the card RUNS times (default 3; 0 only makes the
# card) into a new album.
# Printed per run: the build, the wall seconds, the CPU seconds of albumtool
# and of the programs it waited for (user and system), and the load
# average of the minute before; at the end each build's medians and their
# ratio to the first build's.
set -euo pipefail

movies=4 seconds=10 portrait=0 photos=0 runs=3 store=${TMPDIR:-/tmp}/movie_bench
while getopts n:t:Pp:r:d: opt; do
  case $opt in
    n) movies=$OPTARG ;;
    t) seconds=$OPTARG ;;
    P) portrait=1 ;;
    p) photos=$OPTARG ;;
    r) runs=$OPTARG ;;
    d) store=$OPTARG ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
if [[ $# -lt 1 ]]; then
  sed -n '5,6p' "$0" >&2
  exit 2
fi

fail() {
  echo "movie_bench: $*" >&2
  exit 1
}
for tool in ffmpeg /usr/bin/time; do
  command -v "$tool" >/dev/null || fail "needs $tool"
done
((photos == 0)) || command -v exiftool >/dev/null || fail "needs exiftool"
((photos == 0)) || [[ -x /usr/bin/convert ]] || fail "needs /usr/bin/convert"

bins=()
for b in "$@"; do
  b=$(cd "$b" && pwd) || fail "no directory $b"
  [[ -x "$b/albumtool" ]] || fail "no albumtool in $b"
  bins+=("$b")
done

data=$store/m${movies}t${seconds}p${portrait}f${photos}
card=$data/card home=$data/home collection=$data/albums
names=()

# The card and the settings; made once.
make_card() {
  local i w h
  for ((i = 1; i <= movies; i++)); do
    names+=("$(printf 'MVI_%04d.MOV' "$i")")
  done
  for ((i = 1; i <= photos; i++)); do
    names+=("$(printf 'IMG_%04d.JPG' "$i")")
  done
  [[ -f $data/ready ]] && return 0
  rm -rf "$data"
  mkdir -p "$card" "$home" "$collection/txt"
  printf 'Albums\r\nAlbums\r\n' >"$collection/txt/head.txt"
  printf 'from=%s\r\nalbum=%s\r\nhwaccel=\r\nffmpeg=%s\r\n' "$card" "$collection" \
    "-c:v libx264 -crf 23 -pix_fmt yuv420p" >"$home/.tavolin"
  echo "movie_bench: making the card in $card" >&2
  for ((i = 1; i <= movies; i++)); do
    w=1920 h=1080
    ((portrait == 0 || i < movies)) || w=1080 h=1920
    ffmpeg -loglevel error -y -f lavfi -i "testsrc2=duration=$seconds:size=${w}x$h:rate=30" \
      -f lavfi -i "sine=frequency=$((300 + 40 * i)):duration=$seconds" \
      -vf "hue=h=$((37 * i))" -c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p \
      -c:a aac -b:a 128k -f mov "$card/${names[i - 1]}" || fail "ffmpeg could not make a movie"
  done
  if ((photos > 0)); then
    local one=$card/IMG_0001.JPG
    # Soft clouds: a camera's size at a small file.
    /usr/bin/convert -seed 7 -size 600x400 plasma:fractal -resize '6000x4000!' -quality 85 "$one"
    exiftool -q -q -overwrite_original -Make=Testmaker -Model=T1 -ExposureTime=0.008 \
      -FNumber=5.6 -ISO=200 '-DateTimeOriginal=2024:07:01 10:00:00' "$one"
    for ((i = 2; i <= photos; i++)); do ln "$one" "$card/$(printf 'IMG_%04d.JPG' "$i")"; done
  fi
  touch "$data/ready"
}

# One import by the albumtool in $1: prints wall, CPU seconds and load.
measure() {
  local bin=$1 album=bench load times
  rm -rf "${collection:?}/$album"
  load=$(cut -d' ' -f1 /proc/loadavg)
  times=$(HOME=$home /usr/bin/time -f '%e %U %S' -o "$data/time" "$bin/albumtool" new-album \
    "$card" "$collection" "$album" "Bench" "Movies" "" "${names[@]}" >/dev/null 2>&1 &&
    cat "$data/time") || fail "albumtool new-album failed in $bin"
  awk -v t="$times" -v l="$load" 'BEGIN { split(t, a, " ");
    printf "%.2f %.2f %s\n", a[1], a[2] + a[3], l }'
}

median() {
  sort -g | awk '{ v[NR] = $1 }
    END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

make_card
((runs > 0)) || exit 0
echo "card: $movies movie(s) of $seconds s$( ((portrait == 0)) || echo ', the last portrait')," \
  "$photos photo(s); $(nproc) cores; load $(cut -d' ' -f1-3 /proc/loadavg)"
results=$data/results
: >"$results"
for ((r = 1; r <= runs; r++)); do
  for i in "${!bins[@]}"; do
    line=$(measure "${bins[$i]}")
    echo "$i $line" >>"$results"
    printf 'run %d  %-40s wall %7.2f s  cpu %7.2f s  load %s\n' "$r" "${bins[$i]}" $line
  done
done
printf '%-44s %10s %10s %8s\n' "median of $runs" "wall s" "cpu s" "wall x"
first=""
for i in "${!bins[@]}"; do
  wall=$(awk -v i="$i" '$1 == i { print $2 }' "$results" | median)
  cpu=$(awk -v i="$i" '$1 == i { print $3 }' "$results" | median)
  [[ -n "$first" ]] || first=$wall
  printf '%-44s %10.2f %10.2f %8.2f\n' "${bins[$i]}" "$wall" "$cpu" \
    "$(awk -v a="$wall" -v b="$first" 'BEGIN { print a / b }')"
done
echo "load at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
