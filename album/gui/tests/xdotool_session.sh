# What the scripted sessions of the real program share, sourced by them
# after setting name (their name in messages): failing with a message, the
# outside tools they need, a scratch directory removed at the end (with the
# program, if it still runs), the wait for the program's end and a
# window's screenshot.

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
