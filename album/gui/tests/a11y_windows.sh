#!/usr/bin/env bash
# The album windows opened and closed with an accessibility client reading
# them, on a desktop of the test's own: an X server, a session bus, the
# accessibility bus and its registry. Over an album of PHOTOS photos and
# the best album of them: the read-only album, the best album, the edit
# hub, the album editor left by Cancel and by OK, the hub left by Cancel.
# Every step is a client of its own (a11y_client.py): it reads the whole
# window, closes it and leaves once it is gone. The next one, connecting,
# is handed the program's whole tree, with any object the bridge still
# lists after its widget died, whose state GTK answers with criticals.
# The program's standard error must hold no warning or critical line.
# Arguments: the tavolin and albumtool binaries.
set -euo pipefail
program=$1
albumtool=$2
photos=120

name=a11y_windows
here=$(cd "$(dirname "$0")" && pwd)
source "$here/xdotool_session.sh"
need_tools dbus-daemon dbus-send exiftool /usr/bin/convert /usr/bin/python3 \
  /usr/libexec/at-spi-bus-launcher
on_own_display "$@"
begin_session
# The accessibility bridge on, talking to this desktop's buses only.
unset NO_AT_BRIDGE AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER
export PHOTOS=$photos XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"

# The program and the X server first, then the buses.
buses=()
end_desktop() {
  local p
  end_session
  for p in "${buses[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${buses[@]}"; do wait "$p" 2>/dev/null || true; done
}
trap end_desktop EXIT

# The session bus, and on it the accessibility bus's launcher; the
# registry started and asked once, so that it is there before the program.
dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$work/bus" 2>/dev/null &
buses+=($!)
for _ in $(seq 1 100); do [[ -s $work/bus ]] && break; sleep 0.05; done
DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus")
[[ -n $DBUS_SESSION_BUS_ADDRESS ]] || fail "no session bus"
export DBUS_SESSION_BUS_ADDRESS
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
buses=($! "${buses[@]}")
a11y=""
for _ in $(seq 1 100); do
  a11y=$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus \
    org.a11y.Bus.GetAddress 2>/dev/null | tr -d ' ') && [[ -n $a11y ]] && break
  sleep 0.05
done
[[ -n $a11y ]] || fail "no accessibility bus"
dbus-send --bus="$a11y" --print-reply --dest=org.a11y.atspi.Registry \
  /org/a11y/atspi/accessible/root org.freedesktop.DBus.Peer.Ping >/dev/null ||
  fail "no accessibility registry"

# An album of PHOTOS copies of one camera photo, all of them good, and the
# root's best album.
home=$work/home root=$work/root import=$work/import
mkdir -p "$home" "$import" "$root/txt" "$root/_Best/txt"
printf 'from=%s\r\nalbum=%s\r\nhwaccel=\r\nffmpeg=\r\nplimzev3=true\r\n' "$import" "$root" \
  >"$home/.tavolin"
printf 'Family\r\nFamily\r\n' >"$root/txt/head.txt"
printf 'Best\r\nBest\r\n' >"$root/_Best/txt/head.txt"
/usr/bin/convert -size 320x240 -seed 7 plasma:fractal -quality 85 "$import/p001.jpg"
exiftool -q -q -overwrite_original -Make=Testmaker -Model=T1 \
  '-DateTimeOriginal=2024:07:01 10:00:00' "$import/p001.jpg"
names=()
for ((i = 1; i <= photos; i++)); do
  names+=("$(printf 'p%03d.jpg' "$i")")
  ((i == 1)) || ln "$import/p001.jpg" "$import/${names[-1]}"
done
HOME=$home "$albumtool" make "$import" "$root" 2024-trip Trip "" "" "${names[@]}" >/dev/null ||
  fail "albumtool make failed"
printf '%s\r\n' "${names[@]}" >"$root/2024-trip/txt/good.txt"

HOME=$home "$program" 2>"$work/stderr" &
pid=$!
client() { /usr/bin/python3 "$here/a11y_client.py" "$@" || fail "client step $* failed"; }
client main
client view 2024-trip Open
client view _Best 'Best photos'
client hub
client editor Trip Cancel
client editor Trip OK
client hub-close Cancel
client main
client quit
wait_end || fail "the program did not end with 0"
# Each kind of line once, with its count, the process and time taken out.
found=$(grep -E -- '-(WARNING|CRITICAL) \*\*' "$work/stderr" |
  sed -E 's/^\([^)]*\): //; s/ [0-9:.]+: / /' | sort | uniq -c | sort -rn || true)
[[ -z $found ]] || fail "the program's standard error holds warnings:
$(head -n 5 <<<"$found")"
