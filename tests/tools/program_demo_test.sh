#!/usr/bin/env bash
# `seatwatch --demo`: lays out the sample prefix, starts the simulator, prints
# the desk address, and counts the simulator's new hands on the status page.
# The simulator ends with the program, whether it is closed or killed.
#
#   program_demo_test.sh BUILD
set -euo pipefail
build="${1:?usage: program_demo_test.sh BUILD}"
program="$build/app/seatwatch"
work="$(mktemp -d)"
pid=""
cleanup() {
  if [ -n "$pid" ]; then kill -KILL "$pid" 2>/dev/null || true; fi
  pkill -KILL -f "seatwatch-sim --folder $work/" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  echo "--- output"; cat "$work/out" 2>/dev/null || true
  exit 1
}

simulators() { pgrep -f "seatwatch-sim --folder $work/" 2>/dev/null | wc -l; }

# Starts the demo and waits until a hand played after the start is counted.
start_demo() {
  "$program" --demo --home "$work/home" --no-browser >"$work/out" 2>&1 &
  pid=$!
  local status="$work/home/Temp/SeatwatchStatus.htm"
  for _ in $(seq 1 300); do
    local text=""
    if [ -f "$status" ]; then text="$(sed 's/<[^>]*>/ /g' "$status" | tr -s ' \n' ' ')"; fi
    if [[ "$text" =~ New\ Hands:\&nbsp\ [1-9] ]]; then return 0; fi
    kill -0 "$pid" 2>/dev/null || fail "the demo ended during its start"
    sleep 0.1
  done
  fail "no new hand was counted within 30 s"
}

start_demo
grep -q "^Seatwatch desk: http://127.0.0.1:" "$work/out" || fail "no desk address was printed"
[ "$(simulators)" = 1 ] || fail "the simulator is not running"
[ -f "$work/home/demo/prefix/.seatwatch-demo" ] || fail "the demo prefix was not laid out"

# Closed: the simulator stops with it.
kill -TERM "$pid"
wait "$pid" || true
pid=""
[ "$(simulators)" = 0 ] || fail "the simulator outlived the closed program"

# Killed: the kernel stops the simulator.
start_demo
kill -KILL "$pid"
wait "$pid" 2>/dev/null || true
pid=""
for _ in $(seq 1 50); do
  [ "$(simulators)" = 0 ] && { echo "PASS: the demo ran and left nothing running"; exit 0; }
  sleep 0.1
done
fail "the simulator outlived the killed program"
