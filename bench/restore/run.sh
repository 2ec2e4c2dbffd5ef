#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Restore benchmark. Builds a tree of about 30,000 files (a few hundred MB) on a tmpfs when
# one can be mounted (else under /tmp), saves it with a Level-0 run of Qarno (plain copies),
# then times restoring that run in place into an empty target with qarno-restore against
# `cp -a` of the save folder, and times loading the restore list of a 32,765-entry listing.
#
#   bench/restore/run.sh            FILES=30000 ROUNDS=3 BUILD=<dir> to change the defaults
#
# QARNO_BENCH_FS=ext4 does all of it on a real ext4 file system instead: a file-backed image
# (under /tmp, or QARNO_BENCH_IMAGE_DIR) on a loop device, with a cold cache:
# `sync; echo 3 > /proc/sys/vm/drop_caches` before each timed run of qarno-restore and of
# cp -a alike. Needs root; exit status 2 when the machine cannot do it.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=bench/scratch-ext4.sh
. "$root/bench/scratch-ext4.sh"
[ "$bench_fs" = tmpfs ] || ext4_available bench/restore
build=${BUILD:-$root/build-bench}
files=${FILES:-30000}
rounds=${ROUNDS:-3}

if [ ! -x "$build/bin/qarno-restore" ] || [ ! -x "$build/bin/Qarno" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQARNO_BUILD_TESTS=OFF > /dev/null
  ninja -C "$build" -j2 Qarno qarno-restore
fi
bin="$build/bin"

work=$(mktemp -d /tmp/qarno-restore-bench.XXXXXX)
mounted=0
cleanup() {
  local status=$?
  cd /
  if [ "$mounted" = 1 ]; then umount "$work"; fi
  ext4_unmount
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
if [ "$bench_fs" = ext4 ]; then
  ext4_mount "$work" 3G
  echo "working in $work (ext4 on $ext4_dev, cold cache before each timed run)"
else
  if mount -t tmpfs -o size=3g tmpfs "$work" 2> /dev/null; then mounted=1; fi
  echo "working in $work ($([ "$mounted" = 1 ] && echo tmpfs || df -T "$work" | awk 'NR==2 {print $2}'))"
fi

export QARNO_HOME="$work/home" XDG_CONFIG_HOME="$work/config"
mkdir -p "$QARNO_HOME/SetDir" "$XDG_CONFIG_HOME/Qarno" "$work/t/dst"
printf '[Drives]\nT=%s\n' "$work/t" > "$XDG_CONFIG_HOME/Qarno/Qarno.conf"
printf '#Version 1.10\r\ndir=T:\\dst\r\n#SaveLevel=0\r\n#ComplexTypeMode=0\r\n#CalUseSize=0\r\n#PathLen=260\r\nT:\\src\r\n' \
  > "$QARNO_HOME/SetDir/bench.qrn"

python3 - "$work/t/src" "$files" <<'PY'
import os, random, sys
top, count = sys.argv[1], int(sys.argv[2])
rng = random.Random(20240601)
block = bytes(rng.getrandbits(8) for _ in range(1 << 16))
per_dir = 100
for i in range(count):
    d = os.path.join(top, "d%03d" % (i // (per_dir * 20)), "s%03d" % (i // per_dir))
    if i % per_dir == 0:
        os.makedirs(d, exist_ok=True)
    size = rng.randint(0, 20000)
    start = rng.randint(0, len(block) - size - 1)
    with open(os.path.join(d, "f%05d.dat" % i), "wb") as f:
        f.write(block[start:start + size])
    os.utime(os.path.join(d, "f%05d.dat" % i), (1600000000 + i, 1600000000 + i))
PY
echo "tree: $(find "$work/t/src" -type f | wc -l) files, $(du -sm "$work/t/src" | cut -f1) MB"

now() { date +%s.%N; }
cold_cache
t=$(now); "$bin/Qarno" bench /B2 /L0 > /dev/null; echo "Level-0 backup: $(echo "$(now) - $t" | bc) s"
save=$(basename "$(ls "$work/t/dst/bench/"qrn*.csv | head -1)" .csv)
mv "$work/t/src" "$work/original"

best_restore=999999; best_cp=999999
for round in $(seq "$rounds"); do
  rm -rf "$work/t/src" "$work/cp-target"
  sync
  cold_cache
  t=$(now); "$bin/qarno-restore" bench "$save" > "$work/restore.out"; s=$(echo "$(now) - $t" | bc)
  best_restore=$(echo "if ($s < $best_restore) $s else $best_restore" | bc)
  sync
  cold_cache
  t=$(now); cp -a "$work/t/dst/bench/$save/Drive_T/src" "$work/cp-target"; c=$(echo "$(now) - $t" | bc)
  best_cp=$(echo "if ($c < $best_cp) $c else $best_cp" | bc)
  echo "round $round: qarno-restore $s s, cp -a $c s"
done
tail -2 "$work/restore.out"
diff -r "$work/original" "$work/t/src" > /dev/null && echo "restored tree matches the original"
ratio=$(echo "scale=4; $best_restore / $best_cp" | bc)
printf 'restore vs cp -a (best of %s): %.3f s vs %.3f s, ratio %.2f (goal <= 0.8: %s)\n' "$rounds" "$best_restore" \
  "$best_cp" "$ratio" "$(echo "$ratio <= 0.8" | bc | sed 's/1/met/;s/0/MISSED/')"

# A listing of 32,765 entries (the most a save list holds), under a second history row.
big=qrn19990101_00
python3 - "$work/t/dst/bench/$save.csv" "$work/t/dst/bench/$big.csv" <<'PY'
import sys
template = open(sys.argv[1], "rb").read().split(b"\r\n")[1].decode()
rest = template.split('",', 1)[1].split(",")
out = []
for i in range(32765):
    path = "T:\\big\\d%03d\\f%05d.dat" % (i // 100, i)
    out.append('"%s",%s' % (path, ",".join([rest[0], str(i * 37 % 100000)] + rest[2:])))
open(sys.argv[2], "wb").write(("\r\n".join(out) + "\r\n").encode())
PY
sed -n 2p "$QARNO_HOME/SetDir/bench.qrl" | sed "s/^$save,/$big,/" >> "$QARNO_HOME/SetDir/bench.qrl"
best_list=999999
for round in $(seq "$rounds"); do
  cold_cache
  t=$(now); "$bin/qarno-restore" bench "$big" --list > "$work/list.out"; s=$(echo "$(now) - $t" | bc)
  best_list=$(echo "if ($s < $best_list) $s else $best_list" | bc)
done
printf 'restore list of %s entries (whole qarno-restore --list, start to exit): %.3f s\n' \
  "$(($(wc -l < "$work/list.out") - 1))" "$best_list"
