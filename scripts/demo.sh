#!/usr/bin/env bash
# Installs what is missing, builds Qarno and runs it on a built-in demo: a sample tree, a
# demo set and a destination in a temporary folder, all outside the user's own settings.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh build-demo -DCMAKE_BUILD_TYPE=Release -DQARNO_BUILD_TESTS=OFF
qarno="$root/build-demo/bin/Qarno"

demo=$(mktemp -d /tmp/qarno-demo.XXXXXX)
export QARNO_HOME="$demo/home" XDG_CONFIG_HOME="$demo/config"
mkdir -p "$QARNO_HOME/SetDir" "$demo/source/docs/sub" "$demo/source/photos" "$demo/dest"
win() { printf 'C:%s' "$(printf '%s' "$1" | tr '/' '\\')"; }

# The sample tree.
printf 'Qarno demo file\r\n' > "$demo/source/docs/readme.txt"
printf '日本語のファイル\n' > "$demo/source/docs/日本語.txt"
head -c 300000 /dev/urandom > "$demo/source/photos/picture.jpg"
seq 1 20000 > "$demo/source/docs/sub/numbers.txt"
printf 'scratch\n' > "$demo/source/docs/sub/scratch.tmp"
printf 'hidden\n' > "$demo/source/.profile"

# The demo set: save the source tree, skip *.tmp, no packing.
printf '#Version 1.10\r\ndir=%s\r\n#SaveLevel=0\r\n#ComplexTypeMode=0\r\n%s\r\n#skip *.tmp\r\n' \
  "$(win "$demo/dest")" "$(win "$demo/source")" > "$QARNO_HOME/SetDir/demo.qrn"

echo "== Qarno demo in $demo"
echo "== start-up of the demo set"
"$qarno" demo
echo "== the demo is left in $demo"
