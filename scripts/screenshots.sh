#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Pictures of the main window and of its dialogs on the demo's set, drawn under Xvfb with
# the fonts a Japanese desktop has, written to docs/screenshots/ (each dialog also at its
# minimum size, as <name>-min.png).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source scripts/demo-tree.sh
# QARNO_SCREENSHOT_BUILD=DIR takes the programs of an existing build instead of building.
if [ -n "${QARNO_SCREENSHOT_BUILD:-}" ]; then
  bin="$(cd "$QARNO_SCREENSHOT_BUILD" && pwd)/bin"
else
  bash scripts/install-deps.sh
  bash scripts/build.sh build-demo -DCMAKE_BUILD_TYPE=Release -DQARNO_BUILD_TESTS=OFF
  bin="$root/build-demo/bin"
fi

demo=$(mktemp -d /tmp/qarno-shots.XXXXXX)
trap 'rm -rf "$demo"' EXIT
make_demo_tree "$demo"
# Two runs, so that the history grid has rows.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/Qarno" demo /B2 /L0 2>/dev/null
sleep 1
echo changed >> "$demo/source/docs/readme.txt"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/Qarno" demo /B2 /L1 2>/dev/null

mkdir -p docs/screenshots
rm -f docs/screenshots/*.png
unset QT_QPA_PLATFORM
LANG=C.UTF-8 xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$bin/qarno-screenshots" "$root/docs/screenshots" demo
