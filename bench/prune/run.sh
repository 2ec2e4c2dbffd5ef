#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Prune benchmark. Lays out a set of RUNS old runs of FILES files each (chains of ten: a
# Level-0 and nine Level-1 runs) plus one newest Level-0 on a tmpfs when one can be mounted
# (else under /tmp), then times `qarno-restore SET --prune --keep-chains 1`, which deletes
# the RUNS old runs, against `rm -rf` of the same save folders and listings, interleaved,
# and prints the medians side by side. The saves of one round are hard links of one tree
# (what a prune does per file, an unlink, is the same), so the layout stays cheap.
#
#   bench/prune/run.sh            RUNS=100 FILES=30000 ROUNDS=3 BUILD=<dir> to change the defaults
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD:-$root/build-bench}
runs=${RUNS:-100}
files=${FILES:-30000}
rounds=${ROUNDS:-3}

if [ ! -x "$build/bin/qarno-restore" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQARNO_BUILD_TESTS=OFF > /dev/null
  ninja -C "$build" -j2 qarno-restore
fi
bin="$build/bin"

work=$(mktemp -d /tmp/qarno-prune-bench.XXXXXX)
mounted=0
cleanup() {
  local status=$?
  cd /
  if [ "$mounted" = 1 ]; then umount "$work"; fi
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
if mount -t tmpfs -o size=4g,nr_inodes=0 tmpfs "$work" 2> /dev/null; then mounted=1; fi
echo "working in $work ($([ "$mounted" = 1 ] && echo tmpfs || df -T "$work" | awk 'NR==2 {print $2}'))"

export QARNO_HOME="$work/home" XDG_CONFIG_HOME="$work/config"
mkdir -p "$QARNO_HOME/SetDir" "$XDG_CONFIG_HOME/Qarno" "$work/t/dst/bench"
printf '[Drives]\nT=%s\n' "$work/t" > "$XDG_CONFIG_HOME/Qarno/Qarno.conf"
printf '#Version 1.10\r\ndir=T:\\dst\r\n#KeepChains=1\r\nT:\\src\r\n' > "$QARNO_HOME/SetDir/bench.qrn"

# One save folder's tree: FILES small files, 100 to a folder.
python3 - "$work/tree/Drive_T/src" "$files" <<'PY'
import os, sys
top, count = sys.argv[1], int(sys.argv[2])
for i in range(count):
    d = os.path.join(top, "d%03d" % (i // 2000), "s%03d" % (i // 100))
    if i % 100 == 0:
        os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, "f%05d.dat" % i), "wb") as f:
        f.write(b"x" * (i % 512))
PY

name() { printf 'qrn2026%04d_01' "$1"; }  # one run a day, oldest first
# The saves and the history of one round: RUNS old runs, then the newest Level-0 (kept).
layout() {
  local i level history="$QARNO_HOME/SetDir/bench.qrl"
  printf '#Version 1.10\r\n' > "$history"
  for i in $(seq "$runs" -1 0); do
    local n; n=$(name $((1000 + i)))
    if [ "$i" = "$runs" ] || [ $((i % 10)) = 0 ]; then level=Level-0; else level=Level-1; fi
    cp -al "$work/tree" "$work/t/dst/bench/$n"
    printf 'listing\r\n' > "$work/t/dst/bench/$n.csv"
    printf '%s,%s,%s,T:\\dst,1A2B-3C4D,V,%s,2026/01/01 00:00:00,00:00:01,"",0\r\n' \
      "$n" "$level" 1000 1000 >> "$history"
  done
}
# The same files as the prune deletes, for rm -rf.
doomed() {
  local i
  for i in $(seq 0 $((runs - 1))); do
    echo "$work/t/dst/bench/$(name $((1000 + i)))"
    echo "$work/t/dst/bench/$(name $((1000 + i))).csv"
  done
}

now() { date +%s.%N; }
median() { sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }
prune_times=(); rm_times=()
for round in $(seq "$rounds"); do
  layout
  sync
  t=$(now); "$bin/qarno-restore" bench --prune --keep-chains 1 > "$work/out"; p=$(echo "$(now) - $t" | bc)
  left=$(ls "$work/t/dst/bench" | grep -c '^qrn.*csv$' || true)
  [ "$left" = 1 ] || { echo "prune left $left runs, not 1"; cat "$work/out"; exit 1; }
  rm -rf "$work/t/dst/bench/$(name $((1000 + runs)))"*
  layout
  sync
  t=$(now); doomed | xargs rm -rf; r=$(echo "$(now) - $t" | bc)
  rm -rf "$work/t/dst/bench/"*
  echo "round $round: qarno-restore --prune ${p} s, rm -rf ${r} s"
  prune_times+=("$p"); rm_times+=("$r")
done
echo "prune of $runs runs x $files files (median of $rounds): qarno-restore --prune $(printf '%s\n' "${prune_times[@]}" | median) s, rm -rf $(printf '%s\n' "${rm_times[@]}" | median) s"
