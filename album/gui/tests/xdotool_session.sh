# What the scripted sessions of the real program share, sourced by them
# after setting name (their name in messages): failing with a message that
# names the step, the outside tools they need, X servers of their own, a
# scratch directory, the program and the X server ended however the script
# ends, the wait for the program's end, finding, clicking and typing into
# its windows as a user's mouse and keyboard do, and a window's screenshot.

pid="" work="" xserver="" xdir=""

# Ends the program and the X server this script started and removes their
# scratch directories: run on every exit, a failed step's included.
end_session() {
  local p
  for p in "$pid" "$xserver"; do
    [[ -n "$p" ]] || continue
    kill "$p" 2>/dev/null || true
    for _ in $(seq 1 50); do
      kill -0 "$p" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$p" 2>/dev/null || true
    wait "$p" 2>/dev/null || true
  done
  pid="" xserver=""
  if [[ -n "$work" ]]; then rm -rf "$work"; fi
  if [[ -n "$xdir" ]]; then rm -rf "$xdir"; fi
  work="" xdir=""
}
trap end_session EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

# The script's line being run, and its text: the step a message names.
script_step() {
  local line=${BASH_LINENO[${#BASH_LINENO[@]} - 2]}
  printf 'line %s: %s' "$line" "$(sed -n "${line}{s/^ *//;p;}" "$0")"
}

fail() {
  echo "$name: $* (at $(script_step))" >&2
  exit 1
}

# A command that fails under set -e names its step too; command
# substitutions report through their own fail().
set -E
trap 'step_status=$?; if [[ $BASHPID == "$$" ]]; then echo "$name: failed with status $step_status at $(script_step)" >&2; fi' ERR

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
  local size=$1 number="" status=0 attempt
  shift
  need_tools Xvfb xauth xdotool
  for attempt in 1 2 3 4 5 6; do
    xdir=$(mktemp -d)
    number=$((300 + RANDOM % 700))
    touch "$xdir/auth"
    xauth -q -f "$xdir/auth" add ":$number" . "$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')"
    Xvfb ":$number" -displayfd 3 -auth "$xdir/auth" -screen 0 "${size}x24" -nolisten tcp -noreset \
      3>"$xdir/display" 2>"$xdir/log" &
    xserver=$!
    for _ in $(seq 1 100); do
      # The number and a line end, once the server takes connections.
      [[ $(wc -l <"$xdir/display") -ge 1 ]] && break
      kill -0 "$xserver" 2>/dev/null || break
      sleep 0.1
    done
    if [[ $(wc -l <"$xdir/display") -ge 1 ]] &&
      [[ $(XAUTHORITY=$xdir/auth DISPLAY=:$number xdotool getdisplaygeometry 2>/dev/null) == "${size/x/ }" ]]; then
      break
    fi
    echo "$name: display :$number (attempt $attempt) did not answer" >&2
    [[ $attempt -lt 6 ]] || { cat "$xdir/log" >&2; fail "no X server of ${size} started"; }
    end_session
  done
  XAUTHORITY=$xdir/auth DISPLAY=:$number "$@" || status=$?
  end_session
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
  export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1
}

# Up to thirty seconds for the program to end (its leak check at exit is
# slow on a busy machine); its exit status, or 124 while it still runs.
wait_end() {
  local status=0
  for _ in $(seq 1 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && return 124
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
# The waits below poll every wait_step seconds (default 0.1), wait_polls
# times (defaults 300 and 600), when the caller sets them.
# A visible window of the program titled exactly $1 that is none of the
# windows given after it (a dialog's parent of the same title, say); the
# last found, the newest, when there are several.
wait_window() {
  local title=$1 w found
  shift
  for _ in $(seq 1 "${wait_polls:-300}"); do
    found=""
    for w in $(windows_named "$title"); do
      [[ " $* " == *" $w "* ]] || found=$w
    done
    if [[ -n "$found" ]]; then
      echo "$found"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || fail "the program ended early"
    sleep "${wait_step:-0.1}"
  done
  fail "no window named '$title'"
}
# Waits until the window of id $1 has left the screen, so that a window of
# the same title found afterwards is another one.
wait_closed() {
  for _ in $(seq 1 "${wait_polls:-600}"); do
    xdotool search --onlyvisible --pid "$pid" "" 2>/dev/null | grep -qx "$1" || return 0
    sleep "${wait_step:-0.1}"
  done
  fail "window $1 ('$(xdotool getwindowname "$1" 2>/dev/null)') stayed"
}

# Keys and clicks go through XTEST, as from a keyboard and a mouse: to the
# window with the focus, or under the pointer. Sent to a window itself
# (XSendEvent), the release of a key that closed it would hit a window
# that is gone, and end xdotool with an X error.
# Gives window $1 the focus and checks that it has it.
focus_window() {
  local wid=$1
  for _ in $(seq 1 50); do
    timeout 10 xdotool windowfocus --sync "$wid" 2>/dev/null || true
    [[ "$(xdotool getwindowfocus -f 2>/dev/null)" == "$wid" ]] && return 0
    xdotool search --onlyvisible --pid "$pid" "" 2>/dev/null | grep -qx "$wid" ||
      fail "window $wid is gone before it had the focus"
    sleep 0.1
  done
  fail "window $wid ('$(xdotool getwindowname "$wid" 2>/dev/null)') does not take the focus"
}
# Gives a window the focus and types the keys, one by one; each but the
# first finds the focus still on it.
keys() {
  local wid=$1 key first=1
  shift
  focus_window "$wid"
  for key in "$@"; do
    if [[ -z "$first" && "$(xdotool getwindowfocus -f 2>/dev/null)" != "$wid" ]]; then
      fail "the focus left window $wid before key $key"
    fi
    first=""
    xdotool key "$key"
    sleep 0.2
  done
}
# Clicks at x, y of a window given the focus; negative values count from
# its far side.
click_at() {
  local wid=$1 x=$2 y=$3 WIDTH HEIGHT X Y SCREEN WINDOW
  focus_window "$wid"
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  ((x < 0)) && x=$((WIDTH + x))
  ((y < 0)) && y=$((HEIGHT + y))
  xdotool mousemove "$((X + x))" "$((Y + y))" click 1
}
# From the main window to the edit hub ($hub).
open_hub() {
  local main
  main=$(wait_window 'tavolin - photo albums')
  click_at "$main" -100 -15 # Edit, beside Close
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
