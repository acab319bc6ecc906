#!/usr/bin/env bash
# Runs the live demo without a display for a few hands, interrupts it as
# Ctrl-C does, and checks that it stopped both processes it started.
#   demo_stops_test.sh BUILD
set -uo pipefail
build="$1"
root="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export SEATWATCH_DEMO_DIR="$work/demo" SEATWATCH_DEMO_RATE=0.3
# With job control the demo runs in its own process group with Ctrl-C not
# ignored, as it does in a terminal.
set -m
children=""
env -u DISPLAY -u WAYLAND_DISPLAY "$root/scripts/demo" "$build" >"$work/out" 2>&1 &
demo=$!
fail() {
  echo "FAIL: $*"
  cat "$work/out"
  kill -KILL -- -$demo $children 2>/dev/null
  exit 1
}
# Live hands: the simulator prints one line per hand ("... #41...").
for _ in $(seq 1 150); do
  [ "$(grep -c ' #4' "$work/out")" -ge 3 ] && break
  sleep 0.1
done
[ "$(grep -c ' #4' "$work/out")" -ge 3 ] || fail "the simulator wrote no live hands"
children=$(pgrep -P $demo)
[ "$(echo "$children" | wc -w)" -eq 2 ] || fail "expected the simulator and the program, found: $children"
# Ctrl-C: the terminal sends SIGINT to the whole foreground group.
kill -INT -- -$demo
for _ in $(seq 1 100); do
  kill -0 $demo 2>/dev/null || break
  sleep 0.1
done
kill -0 $demo 2>/dev/null && fail "the demo did not stop on Ctrl-C"
for pid in $children; do
  kill -0 "$pid" 2>/dev/null && fail "process $pid was left running"
done
grep -q "Demo stopped" "$work/out" || fail "no closing line"
# The program closed by itself: a settings write cut short would leave its
# temporary file behind.
log="$work/demo/home/Seatwatch_log.log"
ls "$work/demo/home" | grep -q '\.tmp' && fail "the program's shutdown was cut short"
if grep -q "Desk server listening" "$log"; then
  grep -q "Desk server stopped" "$log" || fail "the program did not close its desk"
fi
# The live hands went on the tables of the layout, after its earlier hands.
history="$work/demo/prefix/drive_c/Program Files/PokerStars/HandHistory/SeatwatchUser"
[ "$(ls "$history" | wc -l)" -eq 3 ] || fail "expected three table files"
[ "$(cat "$history"/*.txt | grep -c 'PokerStars Game #')" -gt 90 ] || fail "no hands appended"
echo "PASS"
