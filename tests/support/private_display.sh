# Sourced by the test scripts that start the program on a private X display. Expects
# test_name to be set; gives a temporary folder $work, fail MESSAGE, and
# start_private_display, which starts Xvfb and exports DISPLAY. On exit the program
# (when its process id is in app_pid) and Xvfb are stopped and $work is removed. A
# script that sets app_log to the program's log file gets that log shown on failure.
work=$(mktemp -d)
xvfb_pid=""
app_pid=""
app_log=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  # Xvfb is waited for: a server still ending removes the socket and lock files of its
  # display number, which the next test's server may already have taken.
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "$test_name: $*" >&2
  if [ -n "$app_log" ] && [ -s "$app_log" ]; then
    echo "--- the program's output:" >&2
    tail -n 40 "$app_log" >&2
  fi
  exit 1
}

# Xvfb picks a free display itself and writes its number to the descriptor given.
start_private_display() {
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  exec 3>&-
  for _ in $(seq 1 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$work/display")"
  # The number is written once the server listens; a client still checks that it is
  # let in before the program is started.
  for _ in $(seq 1 100); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && return
    sleep 0.1
  done
  fail "Xvfb on $DISPLAY takes no connections"
}

# wait_for_main_window: waits until the main window of the program started as $app_pid
# is on the screen and sets main_window to its id. A window that exists but is not yet
# mapped is not enough: a close request that reaches it before it is mapped can be lost.
wait_for_main_window() {
  main_window=""
  for _ in $(seq 1 300); do
    main_window=$(xdotool search --onlyvisible --name '^Lumio v[0-9.]+$' 2>/dev/null |
      head -n1 || true)
    [ -n "$main_window" ] && return
    kill -0 "$app_pid" 2>/dev/null || fail "the program ended before showing its window"
    sleep 0.1
  done
  fail "no window titled \"Lumio v…\" appeared"
}

# close_main_window: asks the main window to close as a window manager does, and fails
# unless the program then ends with exit status 0.
close_main_window() {
  local status=""
  # On a loaded machine a request sent while the program still sets up its window has
  # been seen lost before it reached Qt; it is sent again, as a user clicks again.
  for _ in 1 2 3 4; do
    /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/../smoke/send_close.py" "$main_window"
    for _ in $(seq 1 50); do
      if ! kill -0 "$app_pid" 2>/dev/null; then
        wait "$app_pid" && status=0 || status=$?
        break 2
      fi
      sleep 0.1
    done
  done
  [ -n "$status" ] || fail "the program did not end after its window was asked to close"
  app_pid=""
  [ "$status" -eq 0 ] || fail "the program ended with exit code $status"
}
