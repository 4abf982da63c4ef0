#!/usr/bin/env bash
# An install as a user makes it: the build tree installed into a temporary
# prefix, the program folder made read-only, and the installed launcher
# started by a user without settings against the simulated device on COM1
# (the port of a first start). Checks what was installed, that the program
# ran from there (the console's VS answered, the library's version read from
# the program folder) and that its settings files went where the README
# says: beside the program when the user may write there (root may), else
# into $XDG_CONFIG_HOME/quorel.
#
# usage: install_test.sh BUILD_DIR VANTOR_SIM C_COMPILER VERSION
set -euo pipefail
build=$1 sim=$2 cc=$3 version=$4

top=$(mktemp -d)
sim_pid=
cleanup() {
  if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
  chmod -R u+w "$top"
  rm -rf "$top"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

prefix=$top/prefix
program_dir=$prefix/lib/quorel
cmake --install "$build" --prefix "$prefix" > "$top/install.log" || { cat "$top/install.log"; fail "cmake --install"; }
for f in bin/quorel lib/quorel/Quorel lib/quorel/libvantor.so include/vantor.h lib/libvantor.so; do
  [ -e "$prefix/$f" ] || fail "not installed: $f"
done
[ -x "$prefix/bin/quorel" ] || fail "the launcher is not executable"

# Other callers: the header compiles as C and links with the installed library.
printf '#include <vantor.h>\nint main(void) { return crwClosePort(1) == CRW_NAK ? 0 : 1; }\n' > "$top/caller.c"
"$cc" -std=c99 -Wall -Wextra -Werror -I"$prefix/include" "$top/caller.c" -L"$prefix/lib" -lvantor \
  -o "$top/caller" > "$top/caller.log" 2>&1 || { cat "$top/caller.log"; fail "a C caller does not build"; }

dev=$top/dev
home=$top/home
mkdir -p "$dev" "$home/run"
chmod 700 "$home/run"
"$sim" --dir "$dev" --com 1 --transcript "$top/transcript.txt" < <(echo "device standard") > "$top/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 400); do [ -e "$dev/COM1" ] && break; sleep 0.05; done
[ -e "$dev/COM1" ] || fail "the simulator did not start"

chmod a-w "$program_dir"
if [ -w "$program_dir" ]; then settings=$program_dir; else settings=$home/config/quorel; fi

# QUOREL_DEMO_COMMANDS: the console sends VS, the log box is printed and the
# window closed. timeout only guards against a hang.
(cd "$top" && env -u QUOREL_PROGRAM_DIR HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run" \
   QT_QPA_PLATFORM=offscreen VANTOR_DEVICE_DIR="$dev" QUOREL_DEMO_COMMANDS=VS \
   timeout 300 "$prefix/bin/quorel" > "$top/out.txt") || fail "the installed program ended with $?"

grep -q "^   AVS90" "$top/out.txt" || { cat "$top/out.txt"; fail "no VS reply in the log box"; }
grep -q "| CMD VS$" "$top/transcript.txt" || { cat "$top/transcript.txt"; fail "VS did not reach the device"; }
for f in Quorel.ini Vantor.ini; do [ -f "$settings/$f" ] || fail "$f is not in $settings"; done
grep -q "^App=Quorel" "$settings/Quorel.ini" || fail "Quorel.ini holds no program settings"
grep -q "^Version=$version" "$settings/Vantor.ini" || { cat "$settings/Vantor.ini"; fail "the library in the program folder was not found"; }
if [ "$settings" != "$program_dir" ]; then
  [ "$(ls -A "$program_dir" | sort | tr '\n' ' ')" = "Quorel libvantor.so " ] || fail "files written into $program_dir"
else
  [ ! -e "$home/config/quorel" ] || fail "a per-user folder was made beside a writable program folder"
fi
echo "installed program ran from $program_dir; settings files in $settings"
