#!/usr/bin/env bash
# The program when its program folder cannot be written: a folder it may not
# write to, a folder it cannot create, a lock file it cannot open and a log
# it cannot append to. Each
# time it must say so, end with the program-folder reason (107) and leave
# the folder as it was. Permissions do not bind root, so as root the program
# runs as the unprivileged user 65534 (setpriv); without either the test is
# skipped.
#   read_only_folder_test.sh PROGRAM
set -uo pipefail
program="$1"
if [ "$(id -u)" = 0 ]; then
  if ! command -v setpriv >/dev/null; then echo "SKIP: root without setpriv"; exit 77; fi
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
else
  as_user=()
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
# The unprivileged user must reach the program and its assets.
if ! "${as_user[@]}" test -x "$program"; then echo "SKIP: the user cannot run $program"; exit 77; fi

fail() {
  echo "FAIL: $*"
  echo "--- output"; echo "$out"
  exit 1
}
# Runs the program on the program folder $1; sets out and status.
run() {
  out="$(timeout -s KILL 20 "${as_user[@]}" "$program" --home "$1" --headless \
    --wine-prefix "$work/no-prefix" 2>&1)"
  status=$?
}

# A folder that exists but is not the user's to write.
mkdir "$work/locked"
printf '[ph]\r\nStart=0\r\n' >"$work/locked/Seatwatch.ini"
chmod 555 "$work/locked"
before="$(ls -la "$work/locked"; cat "$work/locked/Seatwatch.ini")"
run "$work/locked"
[ "$status" = 107 ] || fail "exit status $status for a folder that cannot be written"
[[ "$out" == *"cannot be written"* ]] || fail "no clear message for a folder that cannot be written"
[ "$before" = "$(ls -la "$work/locked"; cat "$work/locked/Seatwatch.ini")" ] ||
  fail "the folder that cannot be written was changed"

# A folder that cannot be made: its parent is not the user's.
run "$work/locked/home"
[ "$status" = 107 ] || fail "exit status $status for a folder that cannot be created"
[[ "$out" == *"cannot be created"* ]] || fail "no clear message for a folder that cannot be created"

# A writable folder whose lock file the user may not open.
mkdir "$work/shared"
chmod 777 "$work/shared"
: >"$work/shared/Seatwatch.lock"
chmod 600 "$work/shared/Seatwatch.lock"
run "$work/shared"
[ "$status" = 107 ] || fail "exit status $status when the lock file cannot be opened"
[[ "$out" == *"lock file cannot be opened"* ]] || fail "no clear message for the lock file"
[ ! -e "$work/shared/Seatwatch.ini" ] || fail "the settings were written without the lock"
[ ! -e "$work/shared/Seatwatch_log.log" ] || fail "the log was written without the lock"

# A writable folder whose log the user may not append to.
rm -f "$work/shared/Seatwatch.lock"
: >"$work/shared/Seatwatch_log.log"
chmod 644 "$work/shared/Seatwatch_log.log"
run "$work/shared"
[ "$status" = 107 ] || fail "exit status $status when the log cannot be written"
[[ "$out" == *"log 'Seatwatch_log.log' cannot be written"* ]] || fail "no clear message for the log"
[ ! -s "$work/shared/Seatwatch_log.log" ] || fail "the log was changed"
echo "PASS"
