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

test_name="smoke test"
source "$here/../support/private_display.sh"
start_private_display

mkdir -p "$work/home/Music" "$work/config" "$work/start"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
unset QT_QPA_PLATFORM
app_log="$artifacts/lumio_smoke.log"
(cd "$work/start" && exec "$program") >"$app_log" 2>&1 &
app_pid=$!

wait_for_main_window

sleep 1  # let the first paint finish before the screenshot
import -window root "$artifacts/lumio_smoke.png"

close_main_window

settings="$XDG_CONFIG_HOME/lumio/lumio.ini"
[ -f "$settings" ] || fail "no settings file at $settings"
# The add-files dialog starts in the program's folder, or, for a program built inside
# its source checkout, in the music folder.
open_dir=$(dirname "$program")
if git -C "$open_dir" rev-parse --git-dir >/dev/null 2>&1; then
  open_dir="$work/home/Music"
fi
printf '[General]\r\nOpenDir=%s/\r\nDefDir=%s/\r\n\r\n' "$open_dir" "$work/start" \
  >"$work/expected.ini"
cmp -s "$settings" "$work/expected.ini" || {
  echo "--- settings file:" >&2
  cat -A "$settings" >&2
  fail "the settings file does not hold exactly the General section"
}
echo "smoke test passed; screenshot: $artifacts/lumio_smoke.png"
