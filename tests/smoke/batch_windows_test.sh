#!/usr/bin/env bash
# The real program under a real window manager during a batch: the progress window is
# a transient of the main window (so a click on the main window cannot bury it) and
# cannot be resized; a polite signal to the program then ends the batch, its encoder
# and its unfinished hidden file before the program exits.
# Usage: batch_windows_test.sh PROGRAM FAKE_ENCODER (the stand-in encoder, kept waiting)
set -euo pipefail

program=$(readlink -f "$1")
encoder=$(readlink -f "$2")
here=$(cd "$(dirname "$0")" && pwd)

test_name="batch windows test"
source "$here/../support/private_display.sh"
command -v openbox >/dev/null || { echo "$test_name: skipped, openbox is not installed"; exit 0; }
start_private_display
openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
trap 'kill $wm_pid 2>/dev/null || true; cleanup' EXIT
# The window manager is ready once it names itself on the root window. Windows mapped
# before then are not managed, and the root then holds no stacking order to check.
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
for _ in $(seq 1 300); do
  wm_ready && break
  sleep 0.1
done
wm_ready || fail "openbox did not take the display: $(cat "$work/openbox.log")"

mkdir -p "$work/home" "$work/config/lumio" "$work/in" "$work/out"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" LUMIO_FAKE_WAIT=1
unset QT_QPA_PLATFORM
printf 'RIFF\x24\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x02\x00\x44\xac\x00\x00\x10\xb1\x02\x00\x04\x00\x10\x00data\x00\x00\x00\x00' \
  >"$work/in/song.wav"
printf '[General]\nDefDir=%s/\n[Options]\nSetEncoderPlace=1\nEncoderPlace=%s\n' \
  "$work/out" "$encoder" >"$work/config/lumio/lumio.ini"
app_log="$work/lumio.log"
"$program" "$work/in/song.wav" >"$app_log" 2>&1 &
app_pid=$!
wait_for_main_window
sleep 1
# エンコード開始 (Alt+E, or a click on it at 336,456 in the client area below the menu bar)
# is pressed until the batch shows its progress window: an input event sent too early
# can be lost while the window manager takes the window in.
height=$(xdotool getwindowgeometry "$main_window" | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p')
progress=""
for _ in $(seq 1 20); do
  xdotool windowactivate --sync "$main_window" key alt+e 2>/dev/null || true
  sleep 0.3
  xdotool mousemove --window "$main_window" $((336 + 92)) $((height - 505 + 456 + 16)) click 1
  sleep 0.3
  progress=$(xdotool search --onlyvisible --name '^処理中' 2>/dev/null | head -n1 || true)
  [ -n "$progress" ] && break
done
[ -n "$progress" ] || fail "no progress window appeared"

transient=$(xprop -id "$progress" WM_TRANSIENT_FOR)
case "$transient" in
  *"$(printf '0x%x' "$main_window")"*) ;;
  *) fail "the progress window is no transient of the main window: $transient" ;;
esac
hints=$(xprop -id "$progress" WM_NORMAL_HINTS)
minimum=$(sed -n 's/.*minimum size: \(.*\)$/\1/p' <<<"$hints")
maximum=$(sed -n 's/.*maximum size: \(.*\)$/\1/p' <<<"$hints")
[ -n "$minimum" ] && [ "$minimum" = "$maximum" ] || fail "the progress window can be resized: $hints"

# A click on the (disabled) main window leaves the progress window above it.
xdotool mousemove --window "$main_window" 200 200 click 1
sleep 0.5
stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | tr -d ',' | tr ' ' '\n' | grep '^0x' || true)
main_at=$(grep -n -i "^$(printf '0x%x' "$main_window")$" <<<"$stacking" | cut -d: -f1 || true)
progress_at=$(grep -n -i "^$(printf '0x%x' "$progress")$" <<<"$stacking" | cut -d: -f1 || true)
[ -n "$main_at" ] && [ -n "$progress_at" ] && [ "$progress_at" -gt "$main_at" ] ||
  fail "the progress window went below the main window: $stacking"

ls -A "$work/out" | grep -q '^\.lumio-' || fail "no hidden output file while the encoder runs"
# The program's own child: other tests may run the same stand-in encoder meanwhile, and
# the child takes the encoder's name only once it has started it.
encoder_pid=""
for _ in $(seq 1 100); do
  encoder_pid=$(pgrep -P "$app_pid" -f "^$encoder" | head -n1 || true)
  [ -n "$encoder_pid" ] && break
  sleep 0.1
done
[ -n "$encoder_pid" ] || fail "the encoder is not running"

kill -TERM "$app_pid"
for _ in $(seq 1 100); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && fail "the program did not end after SIGTERM"
app_pid=""
# Gone, or a zombie that nobody has reaped yet, once the kill has taken effect.
encoder_alive() {
  kill -0 "$encoder_pid" 2>/dev/null && ! grep -qs '^State:.*Z' "/proc/$encoder_pid/status"
}
for _ in $(seq 1 100); do
  encoder_alive || break
  sleep 0.1
done
encoder_alive && fail "the encoder outlived the program"
[ -z "$(ls -A "$work/out")" ] || fail "files were left in the output folder: $(ls -A "$work/out")"
echo "batch windows test passed"
