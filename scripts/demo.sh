#!/usr/bin/env bash
# Installs what is missing, builds Qarno and runs it on a built-in demo: a sample tree, a
# demo set and a destination in a temporary folder, all outside the user's own settings:
# a Level-0 run, a change, a Level-1 run, the history and listing, and a restore of the
# Level-1 run compared with the source tree.
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

# The demo set: save the source tree, skip *.tmp, pack with LHA except the listed types.
printf '#Version 1.10\r\ndir=%s\r\n#SaveLevel=0\r\n#ComplexTypeMode=1\r\n#ComplexSettingMode=0\r\n#PathLen=260\r\n%s\r\n#skip *.tmp\r\n' \
  "$(win "$demo/dest")" "$(win "$demo/source")" > "$QARNO_HOME/SetDir/demo.qrn"
printf '"1.10"\r\n2\r\n"jpg"\r\n"zip"\r\n' > "$QARNO_HOME/Qarno.nct"

echo "== Qarno demo in $demo"
echo "== Level-0 run: Qarno demo /B2 /L0"
"$qarno" demo /B2 /L0 && echo "exit status 0"
sleep 1
echo "changed" >> "$demo/source/docs/readme.txt"
printf 'new\n' > "$demo/source/docs/added.txt"
echo "== Level-1 run after changing one file and adding another: Qarno demo /B2 /L1"
"$qarno" demo /B2 /L1 && echo "exit status 0"

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
