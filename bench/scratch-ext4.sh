# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the benchmarks (not run on its own): a real ext4 file system on a loop device
# for the cold-cache mode (QARNO_BENCH_FS=ext4), and the cache drop before each timed run.
#
#   ext4_available              exits 2 with the reason when this machine cannot do it
#   ext4_mount DIR SIZE         a fresh ext4 of SIZE (e.g. 3G, sparse image file) on DIR
#   ext4_unmount                undoes ext4_mount, whatever state it got to; safe to repeat
#   cold_cache                  in ext4 mode: sync, then drop the page, dentry and inode caches
#
# The image lives beside DIR under /tmp (set QARNO_BENCH_IMAGE_DIR to put it elsewhere), so
# the data comes from the disk that holds it once the caches are dropped.

ext4_dev=""
ext4_image=""
ext4_dir=""
ext4_mounted=0

bench_fs="${QARNO_BENCH_FS:-tmpfs}"
case "$bench_fs" in
  tmpfs | ext4) ;;
  *) echo "QARNO_BENCH_FS must be tmpfs or ext4, not '$bench_fs'" >&2; exit 2 ;;
esac

ext4_available() {
  local who=$1 tool
  if [ "$(id -u)" != 0 ]; then
    echo "$who: the ext4 mode needs root (loop device, mount, drop_caches)" >&2
    exit 2
  fi
  for tool in mkfs.ext4 losetup mount umount sync; do
    command -v "$tool" >/dev/null 2>&1 || {
      echo "$who: $tool is missing (scripts/install-deps.sh installs e2fsprogs and util-linux)" >&2
      exit 2
    }
  done
  if ! losetup -f >/dev/null 2>&1; then
    echo "$who: no loop device is available here (losetup -f failed: is /dev/loop-control" \
      "reachable in this container?); the ext4 mode cannot run" >&2
    exit 2
  fi
  if ! [ -w /proc/sys/vm/drop_caches ] || ! (echo 3 >/proc/sys/vm/drop_caches) 2>/dev/null; then
    echo "$who: /proc/sys/vm/drop_caches is not writable here; a cold-cache run is impossible" >&2
    exit 2
  fi
}

ext4_mount() {
  local dir=$1 size=$2 images=${QARNO_BENCH_IMAGE_DIR:-/tmp}
  ext4_dir=$dir
  if [ "$(df --output=fstype "$images" | tail -1)" = tmpfs ]; then
    echo "ext4 mode: warning: $images is a tmpfs, the image stays in memory and no read is cold" >&2
  fi
  ext4_image=$(mktemp "$images/qarno-bench-ext4.XXXXXX.img")
  truncate -s "$size" "$ext4_image"
  ext4_dev=$(losetup --find --show "$ext4_image") || {
    echo "ext4 mode: could not attach $ext4_image to a loop device" >&2
    exit 2
  }
  # Initialise the inode tables and the journal now: lazy initialisation would go on writing
  # in the background during the timed runs.
  mkfs.ext4 -q -F -E lazy_itable_init=0,lazy_journal_init=0 "$ext4_dev"
  # Qarno knows a volume by udev's by-uuid link, which appears a moment after mkfs: wait for
  # it, or a run could record no serial and a later one see the medium as changed.
  if command -v udevadm >/dev/null 2>&1; then udevadm settle --timeout=10 || true; fi
  mount -t ext4 "$ext4_dev" "$dir"
  ext4_mounted=1
  chmod 0755 "$dir"
}

ext4_unmount() {
  if [ "$ext4_mounted" = 1 ]; then
    umount "$ext4_dir" 2>/dev/null || { sleep 1; umount "$ext4_dir" 2>/dev/null; } || umount -l "$ext4_dir" || true
    ext4_mounted=0
  fi
  if [ -n "$ext4_dev" ]; then
    losetup -d "$ext4_dev" 2>/dev/null || true
    ext4_dev=""
  fi
  if [ -n "$ext4_image" ]; then
    rm -f "$ext4_image"
    ext4_image=""
  fi
}

cold_cache() {
  if [ "$bench_fs" = ext4 ]; then
    sync
    echo 3 >/proc/sys/vm/drop_caches
  fi
}
