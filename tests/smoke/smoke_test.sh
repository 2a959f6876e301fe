#!/usr/bin/env bash
# Starts the built program on a private X display with a fresh configuration folder,
# waits for its main window, saves a screenshot, closes the window the way a window
# manager does, and checks that the program ended and saved exactly its two folders.
# Usage: smoke_test.sh PROGRAM ARTIFACT_FOLDER
set -euo pipefail

program=$(readlink -f "$1")
artifacts=$2
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$artifacts"

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
  echo "smoke test: $*" >&2
  exit 1
}

# Xvfb picks a free display itself and writes its number to the descriptor given.
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

mkdir -p "$work/home" "$work/config" "$work/start"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
unset QT_QPA_PLATFORM
(cd "$work/start" && exec "$program") >"$artifacts/lumio_smoke.log" 2>&1 &
app_pid=$!

window=""
for _ in $(seq 1 300); do
  window=$(xdotool search --name '^Lumio v0\.06$' 2>/dev/null | head -n1 || true)
  [ -n "$window" ] && break
  kill -0 "$app_pid" 2>/dev/null || fail "the program ended before showing its window"
  sleep 0.1
done
[ -n "$window" ] || fail "no window titled \"Lumio v0.06\" appeared"

sleep 1  # let the first paint finish before the screenshot
import -window root "$artifacts/lumio_smoke.png"

/usr/bin/python3 "$here/send_close.py" "$window"
status=""
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

settings="$XDG_CONFIG_HOME/lumio/lumio.ini"
[ -f "$settings" ] || fail "no settings file at $settings"
printf '[General]\r\nOpenDir=%s/\r\nDefDir=%s/\r\n\r\n' "$(dirname "$program")" "$work/start" \
  >"$work/expected.ini"
cmp -s "$settings" "$work/expected.ini" || {
  echo "--- settings file:" >&2
  cat -A "$settings" >&2
  fail "the settings file does not hold exactly the General section"
}
echo "smoke test passed; screenshot: $artifacts/lumio_smoke.png"
