# Sourced by the test scripts that start the program on a private X display. Expects
# test_name to be set; gives a temporary folder $work, fail MESSAGE, and
# start_private_display, which starts Xvfb and exports DISPLAY. On exit the program
# (when its process id is in app_pid) and Xvfb are stopped and $work is removed.
work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "$test_name: $*" >&2
  exit 1
}

# Xvfb picks a free display itself and writes its number to the descriptor given.
start_private_display() {
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  exec 3>&-
  for _ in $(seq 1 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$work/display")"
}

# wait_for_main_window: waits for the main window of the program started as $app_pid
# and sets main_window to its id.
wait_for_main_window() {
  main_window=""
  for _ in $(seq 1 300); do
    main_window=$(xdotool search --name '^Lumio v[0-9.]+$' 2>/dev/null | head -n1 || true)
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
  /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/../smoke/send_close.py" "$main_window"
  for _ in $(seq 1 200); do
    if ! kill -0 "$app_pid" 2>/dev/null; then
      wait "$app_pid" && status=0 || status=$?
      break
    fi
    sleep 0.1
  done
  [ -n "$status" ] || fail "the program did not end after its window was asked to close"
  app_pid=""
  [ "$status" -eq 0 ] || fail "the program ended with exit code $status"
}
