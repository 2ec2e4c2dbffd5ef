#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Qarno and runs it on a built-in demo: a sample tree, a
# demo set and a destination in a temporary folder, all outside the user's own settings:
# a Level-0 run, a change, a Level-1 run, the history and listing, and a restore of the
# Level-1 run compared with the source tree. With a display, it opens the main window on the
# demo set after the first run instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source scripts/demo-tree.sh
if has_display; then
  echo "== Qarno demo: a display is present; the main window opens on the demo set after a first run"
else
  echo "== Qarno demo: no display; the headless demo runs on the terminal"
fi
bash scripts/install-deps.sh
bash scripts/build.sh build-demo -DCMAKE_BUILD_TYPE=Release -DQARNO_BUILD_TESTS=OFF
qarno="$root/build-demo/bin/Qarno"
# The automatic runs never need a display: Qarno runs them on the terminal without one.
headless() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$qarno" "$@"; }

demo=$(mktemp -d /tmp/qarno-demo.XXXXXX)
make_demo_tree "$demo"

if has_display; then
  echo "== Level-0 run without a window: Qarno demo /B2 /L0"
  headless demo /B2 /L0 && echo "exit status 0"
  echo "== the main window on the demo set (files in $demo)"
  exec "$qarno" demo
fi

echo "== Qarno demo in $demo"
echo "== Level-0 run: Qarno demo /B2 /L0"
headless demo /B2 /L0 && echo "exit status 0"
sleep 1
echo "changed" >> "$demo/source/docs/readme.txt"
printf 'new\n' > "$demo/source/docs/added.txt"
echo "== Level-1 run after changing one file and adding another: Qarno demo /B2 /L1"
headless demo /B2 /L1 && echo "exit status 0"

echo "== history ($QARNO_HOME/SetDir/demo.qrl)"
cat "$QARNO_HOME/SetDir/demo.qrl"
second=$(ls "$demo/dest/demo/"qrn*.csv | sort | tail -1)
echo "== the Level-1 listing ($second)"
cat "$second"
echo "== the run log"
cat "$QARNO_HOME/SetDir/demo.log"
echo "== the destination"
(cd "$demo/dest" && find . -type f | sort)

restore="$root/build-demo/bin/qarno-restore"
echo "== the history as qarno-restore lists it"
"$restore" demo
latest=$(basename "$second" .csv)
mkdir -p "$demo/restored"
echo "== restore of $latest under $(win "$demo/restored")"
"$restore" demo "$latest" --to "$(win "$demo/restored")"
if diff -r "$demo/source" "$demo/restored/Drive_C$demo/source" -x '*.tmp' >/dev/null; then
  echo "the restored tree equals the source (but for the skipped *.tmp)"
else
  echo "the restored tree differs from the source" >&2
  exit 1
fi
echo "== the demo is left in $demo"
