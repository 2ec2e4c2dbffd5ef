#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a Windows test program under Wine for ctest: wine-run.sh WINE WINEPREFIX PROGRAM [ARGS...]
#
# The prefix is created on first use. Wine's own background processes (services, devices, explorer) are
# started once, by wineboot, with their output going nowhere: started by a test program instead, they would
# inherit that test's output pipe and ctest would wait for them until Wine shuts down. The server stays
# for 30 seconds after the last program, so a test run starts Wine once. No display is used.
set -eu
wine=$1
export WINEPREFIX="$2"
shift 2
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY || true
# Wine names Unix files in the locale's encoding: it must be UTF-8 for every name to work.
case "${LC_ALL:-${LC_CTYPE:-${LANG:-}}}" in
  *.UTF-8 | *.utf8 | *.utf-8) ;;
  *) export LC_ALL=C.UTF-8 ;;
esac
wineserver=$(dirname "$(readlink -f "$wine")")/wineserver
[ -x "$wineserver" ] || wineserver=wineserver

mkdir -p "$(dirname "$WINEPREFIX")"
# One program at a time sets Wine up; what it starts must not inherit the lock (descriptor 9).
{
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine" wineboot -i </dev/null >/dev/null 2>&1 9>&-
    "$wineserver" -w 9>&-
  fi
  if "$wineserver" -p30 </dev/null >/dev/null 2>&1 9>&-; then
    "$wine" wineboot </dev/null >/dev/null 2>&1 9>&-
  fi
} 9>"$WINEPREFIX.lock"
exec "$wine" "$@"
