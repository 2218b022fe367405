# What the scripted sessions of the real program share, sourced by them
# after setting name (their name in messages): failing with a message, the
# outside tools they need, a scratch directory removed at the end (with the
# program, if it still runs), the wait for the program's end, finding,
# clicking and typing into its windows, and a window's screenshot.

fail() {
  echo "$name: $*" >&2
  exit 1
}

need_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/deps installs it)"
  done
}

# Runs the command after $1 (WIDTHxHEIGHT) on a new X server of that size;
# its status is the command's. Tests started together, or another X server
# whose abstract socket this machine shares, can hold a display number: the
# server gets a number of its own and a cookie, and a display that does not
# answer with that cookie and size is given up for another number. The
# server never resets, so the check leaves it ready for the next client.
run_on_new_display() {
  local size=$1 dir number="" xpid="" status=0 attempt
  shift
  need_tools Xvfb xauth xdotool
  for attempt in 1 2 3 4 5 6; do
    dir=$(mktemp -d)
    number=$((300 + RANDOM % 700))
    touch "$dir/auth"
    xauth -q -f "$dir/auth" add ":$number" . "$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')"
    Xvfb ":$number" -displayfd 3 -auth "$dir/auth" -screen 0 "${size}x24" -nolisten tcp -noreset \
      3>"$dir/display" 2>"$dir/log" &
    xpid=$!
    for _ in $(seq 1 100); do
      # The number and a line end, once the server takes connections.
      [[ $(wc -l <"$dir/display") -ge 1 ]] && break
      kill -0 "$xpid" 2>/dev/null || break
      sleep 0.1
    done
    if [[ $(wc -l <"$dir/display") -ge 1 ]] &&
      [[ $(XAUTHORITY=$dir/auth DISPLAY=:$number xdotool getdisplaygeometry 2>/dev/null) == "${size/x/ }" ]]; then
      break
    fi
    echo "$name: display :$number (attempt $attempt) did not answer" >&2
    kill "$xpid" 2>/dev/null || true
    wait "$xpid" 2>/dev/null || true
    [[ $attempt -lt 6 ]] && rm -rf "$dir"
    xpid=""
  done
  if [[ -z "$xpid" ]]; then
    cat "$dir/log" >&2
    rm -rf "$dir"
    fail "no X server of ${size} started"
  fi
  XAUTHORITY=$dir/auth DISPLAY=:$number "$@" || status=$?
  kill "$xpid" 2>/dev/null || true
  wait "$xpid" 2>/dev/null || true
  rm -rf "$dir"
  return $status
}

# Keys and clicks go to whatever lies under the pointer or has the focus:
# a session that cannot run alone on the test display runs itself again on
# a display of its own (call with the script's arguments).
on_own_display() {
  [[ -n "${XDOTOOL_OWN_DISPLAY:-}" ]] && return 0
  export XDOTOOL_OWN_DISPLAY=1
  local status=0
  run_on_new_display 1280x1024 bash "$0" "$@" || status=$?
  exit $status
}

begin_session() {
  work=$(mktemp -d)
  pid=""
  trap 'if [[ -n "$pid" ]]; then kill "$pid" 2>/dev/null || true; fi; rm -rf "$work"' EXIT
  export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1
}

# Up to thirty seconds for the program to end (its leak check at exit is
# slow on a busy machine); its exit status.
wait_end() {
  local status=0
  for _ in $(seq 1 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  wait "$pid" || status=$?
  pid=""
  return $status
}

# Window $1 as it is on the screen, into the PNG file $2.
shot_window() {
  local WIDTH HEIGHT X Y SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
}

# The visible windows of the program whose title is exactly $1, one a line.
windows_named() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$pid" "" 2>/dev/null); do
    [[ "$(xdotool getwindowname "$w" 2>/dev/null)" == "$1" ]] && echo "$w"
  done
  return 0
}
# The last of them once there are $2 of them (default 1).
wait_window() {
  local found
  for _ in $(seq 1 300); do
    found=$(windows_named "$1")
    if [[ -n "$found" && $(wc -l <<<"$found") -ge ${2:-1} ]]; then
      tail -n 1 <<<"$found"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || fail "the program ended early"
    sleep 0.1
  done
  fail "no window named '$1'"
}
wait_gone() {
  for _ in $(seq 1 600); do
    [[ -z "$(windows_named "$1")" ]] && return 0
    sleep 0.1
  done
  fail "window '$1' stayed"
}
wait_closed() {  # a window by its id
  for _ in $(seq 1 600); do
    xdotool search --onlyvisible --pid "$pid" "" 2>/dev/null | grep -qx "$1" || return 0
    sleep 0.1
  done
  fail "window $1 stayed"
}
# Clicks at x, y of a window; negative values count from its far side.
click_at() {
  local wid=$1 x=$2 y=$3 WIDTH HEIGHT X Y SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  ((x < 0)) && x=$((WIDTH + x))
  ((y < 0)) && y=$((HEIGHT + y))
  xdotool mousemove --window "$wid" "$x" "$y" click 1
}
# From the main window to the edit hub ($hub).
open_hub() {
  click_at "$(wait_window 'tavolin - photo albums')" -100 -15 # Edit, beside Close
  hub=$(wait_window Edit)
}
# From the main window to the edit hub ($hub) and its new-album dialog
# ($make), whose import directory is then scanned.
open_new_album() {
  local WIDTH HEIGHT X Y SCREEN WINDOW
  open_hub
  eval "$(xdotool getwindowgeometry --shell "$hub")"
  click_at "$hub" $((WIDTH * 5 / 14)) -15 # New album: third of seven buttons
  make=$(wait_window 'New album')
  keys "$make" Tab # leaving the source entry scans the import directory
  sleep 1
}
# Gives a window the focus and sends it the keys, one by one.
keys() {
  local wid=$1 key
  shift
  xdotool windowfocus --sync "$wid"
  for key in "$@"; do
    xdotool key --window "$wid" "$key"
    sleep 0.2
  done
}
