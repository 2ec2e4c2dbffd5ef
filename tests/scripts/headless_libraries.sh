#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Qarno's console paths (--help, --version, the one-line notice without a display, an
# automatic run of a set that cannot be loaded, a headless Level-0) never load the widget
# libraries; on a display (Qt's offscreen platform) the program loads its windows and
# opens the main window, and SIGTERM ends it cleanly. The dynamic loader's own record of
# what it loaded (LD_DEBUG=libs) is the witness, dlopen included.
set -euo pipefail
bin=$1
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export QARNO_HOME="$work/home" XDG_CONFIG_HOME="$work/config"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
mkdir -p "$QARNO_HOME/SetDir" "$work/src/sub" "$work/dst"
echo data > "$work/src/a.txt"
echo more > "$work/src/sub/b.txt"
printf '#Version 1.10\r\ndir=C:%s\r\n#ComplexTypeMode=0\r\n#CalUseSize=0\r\n#RsvSizeChk=0\r\nC:%s\r\n' \
  "$(echo "$work/dst" | tr / '\\')" "$(echo "$work/src" | tr / '\\')" > "$QARNO_HOME/SetDir/demo.qrn"

fail() { echo "headless_libraries: $*"; exit 1; }
# loaded LOG LIBRARY: true when the loader's log names the library as loaded.
loaded() { grep -hqE "(file|calling init): .*/$2[.]so" "$1".* 2>/dev/null; }

# run EXPECTED_STATUS NAME ARGS...: a console path, no display.
run() {
  local expected=$1 name=$2 status=0
  shift 2
  LD_DEBUG=libs LD_DEBUG_OUTPUT="$work/ld-$name" "$bin/Qarno" "$@" > "$work/out" 2> "$work/err" || status=$?
  [ "$status" = "$expected" ] || { cat "$work/err"; fail "$name: status $status, not $expected"; }
  loaded "$work/ld-$name" libQt6Core || fail "$name: the loader's log is empty (LD_DEBUG not honoured?)"
  for lib in libQt6Widgets libQt6Gui qarno-windows; do
    if loaded "$work/ld-$name" "$lib"; then fail "$name loaded $lib"; fi
  done
}
run 0 help --help
run 0 version --version
run 3 notice demo
run 3 missing-set nosuchset /B2 /L0
run 0 level0 demo /B2 /L0
ls "$work/dst/demo"/qrn*.csv > /dev/null 2>&1 || fail "the headless Level-0 left no listing"

# The desktop path: the windows are loaded and the main window opens.
LD_DEBUG=libs LD_DEBUG_OUTPUT="$work/ld-desktop" QT_QPA_PLATFORM=offscreen "$bin/Qarno" > "$work/out" 2> "$work/err" &
pid=$!
for _ in $(seq 200); do
  loaded "$work/ld-desktop" libQt6Widgets && grep -q 'qarno-windows[.]so' "/proc/$pid/maps" 2>/dev/null && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null || { cat "$work/err"; fail "the desktop program ended at once"; }
grep -q 'qarno-windows[.]so' "/proc/$pid/maps" || fail "the desktop program did not load its windows"
grep -q 'libQt6Widgets' "/proc/$pid/maps" || fail "the desktop program has no widget library mapped"
sleep 1  # the main window is up and waiting
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=
[ "$status" = 0 ] || { cat "$work/err"; fail "the desktop program ended with status $status after SIGTERM"; }
echo "headless_libraries: no widget library on the console paths; the desktop loads its windows"
