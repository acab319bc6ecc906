#!/usr/bin/env bash
# Runs the live demo without a display for a few hands, interrupts it as
# Ctrl-C does, and checks that the program and the simulator it started
# both stopped.
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
started=""
env -u DISPLAY -u WAYLAND_DISPLAY "$root/scripts/demo" "$build" >"$work/out" 2>&1 &
demo=$!
fail() {
  echo "FAIL: $*"
  cat "$work/out"
  kill -KILL -- -$demo $started 2>/dev/null
  exit 1
}
history="$work/demo/prefix/drive_c/Program Files/PokerStars/HandHistory/SeatwatchUser"
hands() {
  local text
  text="$(cat "$history"/*.txt 2>/dev/null)"
  grep -c 'PokerStars Game #' <<<"$text"
}
# Live hands: the layout wrote 90 earlier ones, the simulator goes on.
for _ in $(seq 1 200); do
  [ "$(hands)" -ge 93 ] && break
  sleep 0.1
done
[ "$(hands)" -ge 93 ] || fail "the simulator wrote no live hands"
out="$(cat "$work/out")"
[[ "$out" == *"Seatwatch desk: http://127.0.0.1:"* ]] || fail "no desk address was printed"
# The script runs the program; the program runs the simulator.
program=$(pgrep -P $demo)
[ "$(echo "$program" | wc -w)" -eq 1 ] || fail "expected the program alone, found: $program"
simulator=$(pgrep -P "$program")
[ "$(echo "$simulator" | wc -w)" -eq 1 ] || fail "expected the simulator, found: $simulator"
started="$program $simulator"
# Ctrl-C: the terminal sends SIGINT to the whole foreground group.
kill -INT -- -$demo
for _ in $(seq 1 100); do
  kill -0 $demo 2>/dev/null || break
  sleep 0.1
done
kill -0 $demo 2>/dev/null && fail "the demo did not stop on Ctrl-C"
for pid in $started; do
  kill -0 "$pid" 2>/dev/null && fail "process $pid was left running"
done
out="$(cat "$work/out")"
[[ "$out" == *"Demo stopped"* ]] || fail "no closing line"
# The program closed by itself: a settings write cut short would leave its
# temporary file behind.
log="$(cat "$work/demo/home/Seatwatch_log.log")"
files="$(ls "$work/demo/home")"
[[ "$files" == *.tmp* ]] && fail "the program's shutdown was cut short"
[[ "$log" == *"Desk server listening"* ]] || fail "the program did not start its desk"
[[ "$log" == *"Desk server stopped"* ]] || fail "the program did not close its desk"
# The live hands went on the tables of the layout, after its earlier hands.
[ "$(ls "$history" | wc -l)" -eq 3 ] || fail "expected three table files"
echo "PASS"
