#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Backup engine benchmark: the scan, a Level-0 run and a Level-1 run with nothing changed,
# each next to the plain tool that does the same job (find, cp -a, rsync -a) on the same
# tree in the same run, a packed Level-0 run (/C1) on two cores against one, plus the peak
# memory of Level-0 runs. Everything happens on a tmpfs mounted for the purpose (needs root),
# unmounted at the end whatever happens.
# Usage: bench/engine/run.sh [RUNS]      (median of RUNS timings, default 5, at least 3)
#
# QARNO_BENCH_FS=ext4 runs the same measurements on a real ext4 file system instead: a
# file-backed image (under /tmp, or QARNO_BENCH_IMAGE_DIR) on a loop device, with a cold
# cache: `sync; echo 3 > /proc/sys/vm/drop_caches` before each timed run of Qarno and of the
# peer tool alike (the in-process scan is then timed once per process, each after a drop).
# Exit status 2 when the machine cannot do it (no loop device, no drop_caches).
set -euo pipefail

runs="${1:-5}"
((runs >= 3)) || runs=3
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
# QARNO_BENCH_BUILD: another Release build folder to measure (e.g. an earlier state), used
# as it is, not built again.
build="${QARNO_BENCH_BUILD:-$root/build-bench}"
helpers="$build/engine"
qarno="$build/bin/Qarno"
files=30000          # the main tree: 30,000 files in 1,110 directories, about 320 MB
dirs=1110
limit_entries=32765  # the most entries a save list takes
packed_files=3000    # the packed runs' tree: 3,000 files (about 33 MB)
seed=20240601
# shellcheck source=bench/scratch-ext4.sh
. "$here/../scratch-ext4.sh"

if [ "$(id -u)" != 0 ]; then
  echo "bench/engine: needs root (it mounts a tmpfs)" >&2
  exit 2
fi
for tool in rsync /usr/bin/time find cp taskset; do
  command -v "$tool" >/dev/null 2>&1 || { echo "bench/engine: $tool is missing" >&2; exit 2; }
done
[ "$bench_fs" = tmpfs ] || ext4_available bench/engine

# Build (Release) if needed; both steps do nothing when everything is up to date.
[ -n "${QARNO_BENCH_BUILD:-}" ] || bash "$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DQARNO_BUILD_TESTS=OFF >/dev/null
if [ -z "${QARNO_BENCH_BUILD:-}" ]; then
  generator=()
  command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
  if [ ! -f "$helpers/CMakeCache.txt" ]; then
    cmake -S "$here" -B "$helpers" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DQARNO_BUILD_DIR="$build" >/dev/null
  fi
  cmake --build "$helpers" -j2 >/dev/null
fi

# The scratch file system.
work=$(mktemp -d /tmp/qarno-bench.XXXXXX)
mounted=0
cleanup() {
  local status=$?
  cd /
  if [ "$mounted" = 1 ]; then
    umount "$work" 2>/dev/null || { sleep 1; umount "$work" 2>/dev/null; } || umount -l "$work" || true
  fi
  ext4_unmount
  rmdir "$work" 2>/dev/null || true
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
if [ "$bench_fs" = ext4 ]; then
  ext4_mount "$work" 3G
else
  mount -t tmpfs -o size=2G,mode=0755 qarno-bench "$work"
  mounted=1
fi

# Qarno's world: the tmpfs is drive D:, the program folder and the settings live on it too.
export QARNO_HOME="$work/home" XDG_CONFIG_HOME="$work/config"
mkdir -p "$QARNO_HOME/SetDir" "$XDG_CONFIG_HOME/Qarno"
# manifest_setting 1|0: the runs write the content manifest, or not.
manifest_setting() {
  printf '[Drives]\nD=%s\n\n[Startup%%20Setting]\nContentManifest=%s\n' "$work" "$1" >"$XDG_CONFIG_HOME/Qarno/Qarno.conf"
}
manifest_setting 1
printf '#Version 1.10\r\ndir=D:\\dest\r\n#SaveLevel=0\r\n#ComplexTypeMode=0\r\n#RsvSizeChk=0\r\n#RsvSize=0\r\n#PathLen=260\r\n#CalUseSize=0\r\nD:\\src\r\n' \
  >"$QARNO_HOME/SetDir/bench.qrn"

# now_ns; median of numbers on stdin; ms/MB formatting; ratio with two decimals.
now_ns() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) print 0; else if (NR % 2) print v[(NR + 1) / 2]; else printf "%d\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ms() { awk -v ns="$1" 'BEGIN { printf "%.1f ms", ns / 1e6 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) print "-"; else printf "%.2fx", a / b }'; }
atleast() { awk -v a="$1" -v b="$2" -v g="$3" 'BEGIN { print (b > 0 && a / b >= g) ? "met" : "MISSED" }'; }
within() { awk -v a="$1" -v b="$2" -v g="$3" 'BEGIN { print (b > 0 && a / b <= g) ? "met" : "MISSED" }'; }

# Resets the set's history, log and destination: every run starts from nothing.
fresh_qarno() {
  rm -rf "$work/dest" "$QARNO_HOME/SetDir/bench.qrl" "$QARNO_HOME/SetDir/bench.log"
}
# run_qarno LEVEL [OPTION...]: one unattended run (under "${pin[@]}", e.g. taskset, when set);
# prints its wall time in ns and keeps its max RSS (KB) and CPU seconds (user + system) in
# $work/rss and $work/cpu. A run that does not end with status 0 stops the benchmark.
run_qarno() {
  local s e status=0 level=$1
  shift
  cold_cache
  s=$(now_ns)
  "${pin[@]}" /usr/bin/time -f '%M %U %S' -o "$work/time" "$qarno" bench /B2 "/L$level" "$@" \
    >"$work/qarno.out" 2>"$work/qarno.err" || status=$?
  e=$(now_ns)
  if [ "$status" != 0 ]; then
    echo "bench/engine: Qarno bench /B2 /L$level $* ended with status $status" >&2
    cat "$work/qarno.err" "$QARNO_HOME/SetDir/bench.log" >&2 2>/dev/null || true
    exit 1
  fi
  awk '{ print $1 > "'"$work/rss"'"; printf "%.2f\n", $2 + $3 > "'"$work/cpu"'" }' "$work/time"
  echo $((e - s))
}
# Field N of the newest history line.
history_field() { sed -n 2p "$QARNO_HOME/SetDir/bench.qrl" | cut -d, -f"$1"; }

make_source() {
  rm -rf "$work/src"
  read -r made_files made_dirs made_bytes < <("$helpers/make_tree" "$work/src" "$1" "$seed")
}

pin=()
if [ "$bench_fs" = ext4 ]; then
  fs_label="ext4 on a loop device, cold cache before each timed run"
else
  fs_label=tmpfs
fi
echo "Backup engine benchmark, $(date -u +%Y-%m-%d), $(nproc) cores, $fs_label, median of $runs runs"
make_source "$files"
entries=$((made_files + made_dirs + 1))
printf 'Tree: %d files in %d directories (%d entries with the root), %.1f MB, seed %s\n\n' \
  "$made_files" "$made_dirs" "$entries" "$(awk -v b="$made_bytes" 'BEGIN { print b / 1e6 }')" "$seed"

# 1. The scan: the save list built in memory (in-process timing of MkSaveList, process
#    start-up excluded), next to find listing size, time and path of every entry.
if [ "$bench_fs" = ext4 ]; then
  # One timed scan per process, each after a cache drop: repeats inside one process are warm.
  scan_out=$(for ((i = 0; i < runs; i++)); do cold_cache; "$helpers/scan_bench" bench 1; done)
else
  scan_out=$("$helpers/scan_bench" bench "$runs")
fi
scan_entries=$(echo "$scan_out" | awk 'NR == 1 { print $1 }')
if [ "$scan_entries" != "$entries" ]; then
  echo "bench/engine: the scan listed $scan_entries entries, the tree has $entries" >&2
  exit 1
fi
scan_ns=$(echo "$scan_out" | awk '{ print $2 }' | median)
find_t=()
for ((i = 0; i < runs; i++)); do
  cold_cache
  s=$(now_ns)
  find "$work/src" -printf '%s %T@ %p\n' >/dev/null
  e=$(now_ns)
  find_t+=($((e - s)))
done
find_ns=$(printf '%s\n' "${find_t[@]}" | median)

# 2. Level-0 (plain copies) next to cp -a, alternating so that both see the same machine load.
l0_t=() cp_t=() l0_rss=() l0_cpu=() cp_cpu=()
for ((i = 0; i < runs; i++)); do
  rm -rf "$work/cp"
  cold_cache
  s=$(now_ns)
  /usr/bin/time -f '%U %S' -o "$work/time" cp -a "$work/src" "$work/cp"
  e=$(now_ns)
  cp_t+=($((e - s)))
  cp_cpu+=("$(awk '{ printf "%.2f", $1 + $2 }' "$work/time")")
  rm -rf "$work/cp"
  fresh_qarno
  l0_t+=("$(run_qarno 0)")
  l0_rss+=("$(cat "$work/rss")")
  l0_cpu+=("$(cat "$work/cpu")")
  if [ "$i" = 0 ]; then
    listed=$(($(wc -l <"$(ls "$work"/dest/bench/qrn*.csv | head -1)")))
    copied=$(find "$work/dest/bench" -mindepth 1 -path "$work/dest/bench/qrn*/*" -type f | wc -l)
    if [ "$copied" != "$made_files" ]; then
      echo "bench/engine: Level-0 copied $copied files of $made_files (listing: $listed lines)" >&2
      exit 1
    fi
  fi
done
l0_ns=$(printf '%s\n' "${l0_t[@]}" | median)
cp_ns=$(printf '%s\n' "${cp_t[@]}" | median)
l0_rss_max=$(printf '%s\n' "${l0_rss[@]}" | sort -n | tail -1)

# 2b. Level-0 with the content manifest (the default, measured above) and without it,
#     alternating; the manifest hashes every copy in the read that makes it.
nm_t=() wm_t=() nm_cpu=() wm_cpu=()
for ((i = 0; i < runs; i++)); do
  manifest_setting 0
  fresh_qarno
  nm_t+=("$(run_qarno 0)")
  nm_cpu+=("$(cat "$work/cpu")")
  if ls "$work"/dest/bench/qrn*.sum >/dev/null 2>&1; then echo "bench/engine: a manifest was written while off" >&2; exit 1; fi
  manifest_setting 1
  fresh_qarno
  wm_t+=("$(run_qarno 0)")
  wm_cpu+=("$(cat "$work/cpu")")
  # every line but the heading and the closing count
  sums=$(grep -vc -e '^Qarno-Manifest ' -e '^end ' "$(ls "$work"/dest/bench/qrn*.sum | head -1)")
  if [ "$sums" != "$made_files" ]; then echo "bench/engine: the manifest holds $sums files of $made_files" >&2; exit 1; fi
done
nm_ns=$(printf '%s\n' "${nm_t[@]}" | median)
wm_ns=$(printf '%s\n' "${wm_t[@]}" | median)

# 3. Level-1 with nothing changed since the Level-0 run, next to a second rsync -a.
l1_t=() rs_t=()
for ((i = 0; i < runs; i++)); do
  rm -rf "$work/rs"
  rsync -a "$work/src/" "$work/rs/"
  cold_cache
  s=$(now_ns)
  rsync -a "$work/src/" "$work/rs/"
  e=$(now_ns)
  rs_t+=($((e - s)))
  rm -rf "$work/rs"
  fresh_qarno
  run_qarno 0 >/dev/null
  l1_t+=("$(run_qarno 1)")
  if [ "$(history_field 2)" != "Level-1" ] || [ "$(history_field 3)" != 0 ]; then
    echo "bench/engine: the no-change Level-1 run recorded: $(sed -n 2p "$QARNO_HOME/SetDir/bench.qrl")" >&2
    exit 1
  fi
done
l1_ns=$(printf '%s\n' "${l1_t[@]}" | median)
rs_ns=$(printf '%s\n' "${rs_t[@]}" | median)
fresh_qarno

# 3b. A packed Level-0 run (/C1, each file packed with LHA) on two cores against the same run
#     pinned to one (taskset -c 0), alternating; the ratio is the one-core time over the
#     two-core time, so it shows how much of the second core packing uses. A smaller tree:
#     each packed file is written beside and renamed with an fsync, which on a real disk
#     makes a run of the main tree take minutes.
make_source "$packed_files"
pk_entries=$((made_files + made_dirs + 1))
pk2_t=() pk1_t=() pk2_cpu=() pk1_cpu=()
if (($(nproc) >= 2)); then
  for ((i = 0; i < runs; i++)); do
    pin=(taskset -c 0,1)
    fresh_qarno
    pk2_t+=("$(run_qarno 0 /C1)")
    pk2_cpu+=("$(cat "$work/cpu")")
    if [ "$i" = 0 ]; then
      packed=$(find "$work/dest/bench" -path "$work/dest/bench/qrn*/*" -type f -name '*.LZH' | wc -l)
      if [ "$packed" != "$made_files" ]; then
        echo "bench/engine: the packed Level-0 run packed $packed files of $made_files" >&2
        exit 1
      fi
    fi
    pin=(taskset -c 0)
    fresh_qarno
    pk1_t+=("$(run_qarno 0 /C1)")
    pk1_cpu+=("$(cat "$work/cpu")")
    pin=()
  done
  pk2_ns=$(printf '%s\n' "${pk2_t[@]}" | median)
  pk1_ns=$(printf '%s\n' "${pk1_t[@]}" | median)
fi

# 4. Memory at the limit: a tree of exactly 32,765 entries; one entry more must be refused.
make_source $((limit_entries - 1 - dirs))
lim_entries=$((made_files + made_dirs + 1))
lim_rss=()
for ((i = 0; i < 3; i++)); do
  fresh_qarno
  run_qarno 0 >/dev/null
  lim_rss+=("$(cat "$work/rss")")
done
lim_rss_max=$(printf '%s\n' "${lim_rss[@]}" | sort -n | tail -1)
lim_listed=$(($(wc -l <"$(ls "$work"/dest/bench/qrn*.csv | head -1)")))
fresh_qarno
printf 'one too many\n' >"$work/src/one-too-many.txt"
if "$helpers/scan_bench" bench 1 >/dev/null 2>"$work/scan.err"; then over="NOT refused"; else over="refused"; fi
rm -rf "$work/src"

mb() { awk -v kb="$1" 'BEGIN { printf "%.1f MB", kb / 1024 }'; }
under() { awk -v kb="$1" -v mb="${2:-100}" 'BEGIN { print kb / 1024 <= mb ? "met" : "MISSED" }'; }
row() { printf '%-34s %12s %-16s %12s %8s  %-10s %s\n' "$@"; }
row "measure" "Qarno" "peer" "peer time" "ratio" "goal" "result"
row "scan (MkSaveList, in-process)" "$(ms "$scan_ns")" "find -printf" "$(ms "$find_ns")" \
  "$(ratio "$scan_ns" "$find_ns")" "<= 2x" "$(within "$scan_ns" "$find_ns" 2)"
row "Level-0, plain copies" "$(ms "$l0_ns")" "cp -a" "$(ms "$cp_ns")" \
  "$(ratio "$l0_ns" "$cp_ns")" "<= 0.8x" "$(within "$l0_ns" "$cp_ns" 0.8)"
row "Level-0 with manifest" "$(ms "$wm_ns")" "without manifest" "$(ms "$nm_ns")" \
  "$(ratio "$wm_ns" "$nm_ns")" "<= 1.03x" "$(within "$wm_ns" "$nm_ns" 1.03)"
row "Level-1, nothing changed" "$(ms "$l1_ns")" "rsync -a again" "$(ms "$rs_ns")" \
  "$(ratio "$l1_ns" "$rs_ns")" "<= 0.8x" "$(within "$l1_ns" "$rs_ns" 0.8)"
if ((${#pk2_t[@]})); then
  # Here the ratio is the speed-up: the same packed run on one core over two cores.
  row "packed Level-0 (/C1), 2 cores" "$(ms "$pk2_ns")" "same on 1 core" "$(ms "$pk1_ns")" \
    "$(ratio "$pk1_ns" "$pk2_ns")" ">= 1.8x" "$(atleast "$pk1_ns" "$pk2_ns" 1.8)"
else
  echo "packed Level-0 (/C1), 2 cores against 1: not measured, this machine has $(nproc) core(s)"
fi
echo
printf '%-52s %10s  %-10s %s\n' "peak memory (max RSS)" "" "goal" "result"
printf '%-52s %10s  %-10s %s\n' "Level-0, $entries entries" "$(mb "$l0_rss_max")" "< 100 MB" "$(under "$l0_rss_max")"
printf '%-52s %10s  %-10s %s\n' "Level-0, $lim_entries entries (listing: $lim_listed lines)" "$(mb "$lim_rss_max")" \
  "<= 32 MB" "$(under "$lim_rss_max" 32)"
echo "A save list of $((lim_entries + 1)) entries: $over"
echo
echo "Times are wall clock, medians; Qarno's include its start-up, log, listing and history writes."
echo "Level-0 runs: ${l0_t[*]} ns; cp -a: ${cp_t[*]} ns"
echo "Level-0 CPU seconds (user + system): ${l0_cpu[*]}; cp -a: ${cp_cpu[*]}" \
  "(medians $(printf '%s\n' "${l0_cpu[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")" \
  "and $(printf '%s\n' "${cp_cpu[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"))"
echo "Level-0 CPU seconds without / with the manifest: ${nm_cpu[*]} / ${wm_cpu[*]}" \
  "(medians $(printf '%s\n' "${nm_cpu[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")" \
  "and $(printf '%s\n' "${wm_cpu[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"))"
echo "Level-1 runs: ${l1_t[*]} ns; rsync -a: ${rs_t[*]} ns"
if ((${#pk2_t[@]})); then
  echo "Packed Level-0 runs ($pk_entries entries) on 2 cores: ${pk2_t[*]} ns; on 1 core: ${pk1_t[*]} ns"
  echo "Packed Level-0 CPU seconds on 2 cores / 1 core: ${pk2_cpu[*]} / ${pk1_cpu[*]}"
fi
if [ "$bench_fs" = ext4 ]; then
  echo "Cold cache: every timed run above began after sync and drop_caches. No time includes"
  echo "writing back what the run left dirty in the page cache (beyond the fsyncs Qarno makes)."
fi

# 5. Finding a file across 100 runs of 32,765 entries each (RunFinder, in-process); hashes.
echo
mkdir -p "$work/find"
find_out=$("$helpers/find_bench" "$work/find" 100 "$limit_entries" "$runs")
rm -rf "$work/find"
find_one=$(echo "$find_out" | awk 'NR <= '"$runs"' { print $3 }' | median)
find_dir=$(echo "$find_out" | awk 'NR > '"$runs"' { print $3 }' | median)
printf '%-52s %10s  %-10s %s\n' "find one file, 100 runs x $limit_entries entries" "$(ms "$find_one")" "< 1 s" \
  "$(awk -v n="$find_one" 'BEGIN { print n < 1e9 ? "met" : "MISSED" }')"
printf '%-52s %10s  %-10s %s\n' "find a folder's files, 100 runs x $limit_entries" "$(ms "$find_dir")" "< 1 s" \
  "$(awk -v n="$find_dir" 'BEGIN { print n < 1e9 ? "met" : "MISSED" }')"
echo
echo "hash throughput in memory (MB/s):"
"$helpers/hash_bench" | awk '{ printf "  %-12s %8s MB/s\n", $1, $2 }'
