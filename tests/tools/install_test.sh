#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that the installed
# programs run from there: they load the installed libraries, the program
# takes its assets from <prefix>/share/seatwatch, the plug-in registers, and
# the installed demo layout gives a prefix the installed intake loads.
#   install_test.sh BUILD
set -uo pipefail
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/usr"
fail() {
  echo "FAIL: $*"
  exit 1
}
unset SEATWATCH_ASSETS DESTDIR
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || {
  cat "$work/install.log"
  fail "cmake --install failed"
}
for file in bin/seatwatch bin/seatwatch-hh bin/seatwatch-sim bin/seatwatch-regsvr \
  lib/seatwatch/libpagelink.so lib/seatwatch/libseatwatch_com.so share/seatwatch/Alerts.ini \
  share/seatwatch/samples/demo-prefix/system.reg share/seatwatch/scripts/demo-layout; do
  [ -e "$prefix/$file" ] || fail "$file was not installed"
done
# Read whole before it is searched: with pipefail, `ldd | grep -q` fails
# whenever grep stops reading before ldd has written everything.
libraries="$(ldd "$prefix/bin/seatwatch")"
[[ "$libraries" == *"$prefix/bin/../lib/seatwatch/libseatwatch_com.so"* ]] ||
  fail "the program does not load the installed COM runtime: $libraries"
for program in seatwatch seatwatch-sim; do
  version="$("$prefix/bin/$program" --version)"
  [[ "$version" == "$program "* ]] || fail "$program --version: $version"
done

# The plug-in registers from where it was installed.
"$prefix/bin/seatwatch-regsvr" --home "$work/home" "$prefix/lib/seatwatch/libpagelink.so" \
  >/dev/null || fail "seatwatch-regsvr"
grep -q "lib/seatwatch/libpagelink.so" "$work/home/registry.reg" || fail "plug-in path not registered"

# The program copies "Alerts.ini" from the assets it found: mark the
# installed copy and look for the mark.
echo "; installed copy" >>"$prefix/share/seatwatch/Alerts.ini"
timeout -s KILL 10 "$prefix/bin/seatwatch" --home "$work/home2" --headless \
  --wine-prefix "$work/no-prefix" >/dev/null 2>&1
grep -q "; installed copy" "$work/home2/Alerts.ini" || fail "the program did not use the installed assets"
# Its first start registered the installed plug-in by itself: the bridge
# was created.
grep -q "lib/seatwatch/libpagelink.so" "$work/home2/registry.reg" ||
  fail "the first start did not register the installed plug-in"
grep -q "^Install: OK" "$work/home2/Seatwatch_log.log" ||
  fail "the first start did not create the browser bridge: $(cat "$work/home2/Seatwatch_log.log")"

# The installed demo layout, with the installed simulator and intake.
"$prefix/share/seatwatch/scripts/demo-layout" "$prefix/bin" "$work/demo" >/dev/null ||
  fail "installed demo-layout"
loaded="$("$prefix/bin/seatwatch-hh" load --wine-prefix "$work/demo/prefix" --room PokerStars \
  --nickname SeatwatchUser)"
[[ "$loaded" == *"Files: 3   Hands added: 90"* ]] || fail "the demo prefix does not load: $loaded"
echo "PASS"
