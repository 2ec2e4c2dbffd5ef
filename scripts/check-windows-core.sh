#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Compiles every source of the program's core (every layer and the Windows side of the
# platform) and of its windows with the MinGW-w64 cross compiler, to the syntax check, against the
# Qt headers of this machine: Qt for MinGW is not packaged by Debian, so nothing is linked,
# but a Windows-only compile error fails here. Exit 1 on any error.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cxx=$(command -v x86_64-w64-mingw32-g++-posix || command -v x86_64-w64-mingw32-g++ || true)
if [ -z "$cxx" ]; then
  echo "check-windows-core: no MinGW-w64 compiler (package g++-mingw-w64-x86-64-posix)" >&2
  exit 1
fi
qt=$(dirname "$(find /usr/include -path '*qt6/QtCore/qglobal.h' -print -quit)")
qt=${qt%/QtCore}
[ -d "$qt/QtCore" ] || { echo "check-windows-core: no Qt 6 headers" >&2; exit 1; }
flags=(-std=c++20 -fsyntax-only -Wall -Wextra -Werror=return-type -DQT_CORE_LIB -DUNICODE -D_UNICODE
       -DQARNO_VERSION_MAJOR=1 -DQARNO_VERSION_MINOR=0 -DQARNO_VERSION_PATCH=0
       -I src -I src/unlha -isystem "$qt" -isystem "$qt/QtCore" -isystem "$qt/QtDBus" -DQT_DBUS_LIB)
# xxHash is one portable header; Windows builds get their own copy of it, here the host's
# serves (alone: the rest of /usr/include is the host's C library, not Windows').
portable=$(mktemp -d)
trap 'rm -rf "$portable"' EXIT
[ -f /usr/include/xxhash.h ] && ln -s /usr/include/xxhash.h "$portable/xxhash.h"
flags+=(-isystem "$portable")
widgets=(-DQT_GUI_LIB -DQT_WIDGETS_LIB -isystem "$qt/QtGui" -isystem "$qt/QtWidgets")
status=0
count=0
for f in src/{platform,common,mainwin,records,engine,restore,maintenance,app}/*.cpp src/*/windows/*.cpp; do
  [ -e "$f" ] || continue
  count=$((count + 1))
  extra=()
  case "$f" in */windows/*) extra=("${widgets[@]}") ;; esac
  if ! out=$("$cxx" "${flags[@]}" "${extra[@]}" "$f" 2>&1); then
    echo "$out" | grep -E 'error' | head -20
    echo "check-windows-core: $f does not compile for Windows" >&2
    status=1
  elif [ -n "$out" ]; then
    echo "$out" | grep -E 'warning' | head -5 || true
  fi
done
[ "$status" = 0 ] && echo "check-windows-core: $count sources of the core and the windows compile for Windows"
exit "$status"
