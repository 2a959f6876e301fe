#!/usr/bin/env bash
# Starts of the real program on one settings file. Two started at the same instant
# leave one program running, and the other ends with status 0 once it has handed over;
# an owner that was killed leaves its socket behind and the next start takes over; a
# start that gets no answer from a stopped owner says so and ends with status 1.
# Usage: instance_test.sh PROGRAM
set -euo pipefail
[ -n "${INSTANCE_TEST_TRACE:-}" ] && set -x

program=$(readlink -f "$1")
work=$(mktemp -d)
started=()
cleanup() {
  for pid in "${started[@]}"; do
    kill -CONT "$pid" 2>/dev/null || true
    kill -KILL "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "instance test: $*" >&2
  exit 1
}

mkdir -p "$work/home" "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8

start() {
  "$program" "$@" >>"$work/lumio.log" 2>&1 &
  started+=("$!")
}

# ends PID: waits for the program to end and sets status to its exit status.
ends() {
  status=0
  wait "$1" || status=$?
}

# A polite end for the owner: it ends with status 0.
stop_owner() {
  kill -TERM "$1"
  ends "$1"
  [ "$status" -eq 0 ] || fail "the owner ended with status $status"
}

# start_two WHEN: starts two programs at the same instant; one must hand over and end
# with status 0, the other stay running as the owner.
start_two() {
  start
  local first=$!
  start
  local second=$!
  local done_pid=""
  status=0
  # Two owners would never end: a watchdog ends the wait. The start that hands over
  # waits for the owner to listen, which a loaded machine may take long for, and ends
  # with its answer: the watchdog only bounds a failure.
  sleep 90 &
  local watchdog=$!
  wait -n -p done_pid "$first" "$second" "$watchdog" || status=$?
  [ "$done_pid" != "$watchdog" ] || fail "$1: both programs still run after 90 s"
  kill "$watchdog"
  wait "$watchdog" 2>/dev/null || true
  [ "$status" -eq 0 ] || fail "$1: a start ended with status $status: $(cat "$work/lumio.log")"
  [ "$done_pid" = "$first" ] && owner=$second || owner=$first
  kill -0 "$owner" 2>/dev/null || fail "$1: no program left running"
}

for round in 1 2 3 4 5; do
  start_two "round $round"
  # A third start reaches the same owner: the one that ended left its socket alone.
  start
  ends $!
  [ "$status" -eq 0 ] || fail "round $round: a later start was not taken by the owner"
  kill -0 "$owner" 2>/dev/null || fail "round $round: the owner ended"
  stop_owner "$owner"
done

socket=$(ls "$XDG_RUNTIME_DIR"/lumio-*.socket 2>/dev/null || true)
[ -z "$socket" ] || fail "the last owner left its socket: $socket"

# An owner killed outright leaves its socket; the next starts take over.
start_two "before the kill"
kill -KILL "$owner"
ends "$owner" 2>/dev/null
ls "$XDG_RUNTIME_DIR"/lumio-*.socket >/dev/null 2>&1 || fail "the killed owner left no socket"
start_two "after the kill"

# A stopped owner does not answer: the next start says so and ends with status 1.
kill -STOP "$owner"
"$program" "$work/song.flac" >"$work/unanswered.log" 2>&1 || status=$?
kill -CONT "$owner"
[ "$status" -eq 1 ] || fail "a start without an answer ended with status $status"
grep -q "does not answer" "$work/unanswered.log" ||
  fail "a start without an answer did not say so: $(cat "$work/unanswered.log")"
kill -0 "$owner" 2>/dev/null || fail "the owner ended"
stop_owner "$owner"
echo "instance test passed"
