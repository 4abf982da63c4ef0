#!/usr/bin/env bash
# scripts/demo-run as a user meets it. With a display set, the program stays
# open on the simulator until it is closed (here by SIGTERM, which the
# program takes as its window's close), then the demo prints the wire, stops
# the simulator and removes its folders. The window system is offscreen
# (QT_QPA_PLATFORM): the demo only looks whether a display is set. Without
# one, the program prints its log box and ends by itself, as before.
#
# usage: demo_test.sh SOURCE_DIR BUILD_DIR [ASAN_RUNTIME]
set -euo pipefail
src=$1 build=$2 asan=${3:-}

top=$(mktemp -d)
demo=
cleanup() {
  if [ -n "$demo" ]; then kill "$demo" 2>/dev/null || true; wait "$demo" 2>/dev/null || true; fi
  rm -rf "$top"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  [ ! -f "$top/out.txt" ] || { echo "--- the demo's output" >&2; cat "$top/out.txt" >&2; }
  exit 1
}

# The demo's round of library calls loads the library into python; an
# instrumented library needs its sanitizer runtime loaded first.
if [ -n "$asan" ]; then
  mkdir "$top/bin"
  printf '#!/bin/sh\nLD_PRELOAD=%s ASAN_OPTIONS=detect_leaks=0 exec %s "$@"\n' "$asan" "$(command -v python3)" \
    > "$top/bin/python3"
  chmod +x "$top/bin/python3"
  export PATH="$top/bin:$PATH"
fi

# Without a display: today's demo, which ends by itself.
env -u DISPLAY -u WAYLAND_DISPLAY "$src/scripts/demo-run" "$build" > "$top/out.txt" 2>&1 ||
  fail "the demo without a display ended with $?"
grep -q "^   AVS90" "$top/out.txt" || fail "no log box printed without a display"
grep -q "| CMD VS$" "$top/out.txt" || fail "no VS on the wire without a display"

# With one: it waits for the program.
DISPLAY=:quorel-test QT_QPA_PLATFORM=offscreen "$src/scripts/demo-run" "$build" > "$top/out.txt" 2>&1 &
demo=$!
for _ in $(seq 1200); do
  grep -q "^   AVS90" "$top/out.txt" && break
  kill -0 "$demo" 2>/dev/null || fail "the demo ended before the program answered VS"
  sleep 0.1
done
grep -q "^   AVS90" "$top/out.txt" || fail "the program did not answer VS within 120 s"
quorel=$(pgrep -P "$demo" -x Quorel) || fail "the program is not running under the demo"
sim=$(pgrep -P "$demo" -x vantor-sim) || fail "the simulator is not running under the demo"
device_dir=$(tr '\0' '\n' < "/proc/$sim/cmdline" | sed -n '/^--dir$/{n;p;q}')
[ -d "$device_dir" ] || fail "no device folder"
# The log box was printed; a demo that quit after it would be gone by now.
sleep 2
kill -0 "$quorel" 2>/dev/null || fail "the program did not stay open"
kill -0 "$sim" 2>/dev/null || fail "the simulator did not stay up"
grep -q -- "-- what crossed the wire" <(sed -n '/== Quorel/,$p' "$top/out.txt") && fail "the demo went on while the program was open"

kill -TERM "$quorel"
status=0
wait "$demo" || status=$?
demo=
[ "$status" -eq 0 ] || fail "the demo ended with $status"
sed -n '/== Quorel/,$p' "$top/out.txt" | grep -q "| CMD VS$" || fail "VS is not in the wire printed after the close"
! kill -0 "$sim" 2>/dev/null || fail "the simulator is still running"
[ ! -e "$device_dir" ] || fail "the device folder is left behind"
echo "the demo kept the program open on the simulator until it was closed"
