#!/usr/bin/env bash
# The program on a real Wine prefix. wineboot makes the prefix; a poker
# client is recorded in it as its installer would (its uninstall entry by
# `wine reg add`, its folder, and histories under the user's profile, where
# today's client keeps them); then seatwatch, started on that prefix without
# room options (the room alone was chosen at an earlier start), must detect
# the client, fill the room choice from it (the
# nickname from the account folder, the history folder from the profile),
# load the histories, and take a hand played afterwards.
#
#   program_on_wine_prefix_test.sh BUILD
#
# Exits 77 (skipped) when Wine is not installed or cannot make a prefix here.
set -uo pipefail
build="${1:?usage: program_on_wine_prefix_test.sh BUILD}"
sim="$build/tools/seatwatch-sim"
regsvr="$build/tools/seatwatch-regsvr"
program="$build/app/seatwatch"
plugin="$build/pagelink/libpagelink.so"

if ! command -v wine >/dev/null 2>&1 || ! command -v wineboot >/dev/null 2>&1; then
  echo "SKIP: wine is not installed (scripts/install-deps installs it)"
  exit 77
fi

work="$(mktemp -d)"
pid=""
cleanup() {
  if [ -n "$pid" ]; then kill -TERM "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
  WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

# No display, no Mono or Gecko installers: a bare prefix.
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if ! timeout 300 wineboot -i >/dev/null 2>&1; then
  echo "SKIP: wineboot could not make a prefix on this machine"
  exit 77
fi
wineserver -w || true

fail() {
  echo "FAIL: $*"
  echo "--- program log"; cat "$work/home/Seatwatch_log.log" 2>/dev/null || true
  echo "--- program output"; cat "$work/program.out" 2>/dev/null || true
  exit 1
}

mkdir -p "$WINEPREFIX/drive_c/Games/PokerStars" || fail "cannot make the client's folder"
wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\PokerStars' \
  /v InstallLocation /d 'C:\Games\PokerStars' /f >"$work/reg.out" 2>&1 ||
  fail "wine reg add failed: $(cat "$work/reg.out")"
wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\PokerStars' \
  /v DisplayName /d 'PokerStars' /f >"$work/reg.out" 2>&1 ||
  fail "wine reg add failed: $(cat "$work/reg.out")"
wineserver -w || true

# The profile's local application data folder, as the prefix names it.
# (No pipes into head or grep -q here: with pipefail a writer cut short by
# its reader would fail the step.)
line="$(grep -m 1 '^"Local AppData"="C:' "$WINEPREFIX/user.reg")"
[ -n "$line" ] || fail "the prefix names no local application data folder"
local_appdata="${line#\"Local AppData\"=\"C:\\\\}"
local_appdata="${local_appdata%\"}"
local_appdata="$WINEPREFIX/drive_c/${local_appdata//\\\\//}"
history="$local_appdata/PokerStars/HandHistory/Kim Ba"
mkdir -p "$history" || fail "cannot make $history"

# Hands played earlier today at one table, then the program.
"$sim" --folder "$history" --hero "Kim Ba" --tables 1 --players 6 --seed 11 \
  --backfill 30 --count 0 --rate 0 --quiet >/dev/null || fail "the simulator failed"
"$regsvr" --home "$work/home" "$plugin" >/dev/null || fail "the plug-in did not register"
# The room chosen at an earlier start; nickname and folders are left to the
# room choice to find.
printf '[Poker Rooms]\r\nActive Room=PokerStars\r\n' >"$work/home/Seatwatch.ini"
"$program" --home "$work/home" --wine-prefix "$WINEPREFIX" --headless >"$work/program.out" 2>&1 &
pid=$!

log="$work/home/Seatwatch_log.log"
status="$work/home/Temp/SeatwatchStatus.htm"
for _ in $(seq 1 200); do
  if grep -q "Startup: OK" "$log" 2>/dev/null && [ -f "$status" ]; then break; fi
  kill -0 "$pid" 2>/dev/null || fail "the program ended during its start"
  sleep 0.1
done
grep -q "Startup: OK" "$log" || fail "the program did not start"
grep -q "Clients Detected: OK" "$log" || fail "the client was not detected"
grep -q "Nickname: Kim Ba" "$log" || fail "the nickname was not taken from the account folder"
grep -q "Log Folder: .*PokerStars/HandHistory" "$log" ||
  fail "the history folder was not taken from the profile"

# The first loading read the earlier hands: the user's record holds them.
# A hand played now is counted within a few passes.
"$sim" --folder "$history" --hero "Kim Ba" --tables 1 --players 6 --seed 11 \
  --resume 30 --count 1 --rate 0 --quiet >/dev/null || fail "the simulator failed"
shown() { sed 's/<[^>]*>/ /g' "$status" 2>/dev/null | tr -s ' \n' ' '; }
for _ in $(seq 1 100); do
  text="$(shown)"
  if [[ "$text" == *"New Hands:&nbsp 1 "* ]]; then
    echo "PASS: the client in the Wine prefix was detected, chosen and watched"
    exit 0
  fi
  kill -0 "$pid" 2>/dev/null || fail "the program ended while watching"
  sleep 0.1
done
shown
fail "the hand played after the start was not counted"
