#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Backups onto real volumes, end to end through the Qarno executable:
#  - an exFAT image (label QARNOVOL, serial 1A2B-3C4D) on a loop device, mounted with
#    exfat-fuse as drive E:, whose identity must reach the listing and the history, in a
#    Level-0 run and a Level-1 run after one file changed;
#  - a 5 MB tmpfs as drive F: that the source does not fit on: the reserve limit refuses
#    every entry, and without the limit the full medium ends the run.
# Usage: volumes.sh BUILD/bin       (exit 77 = skipped: not root, or tools missing)
set -uo pipefail
export PATH="$PATH:/usr/sbin:/sbin"

bin="${1:?usage: volumes.sh BUILD/bin}"
qarno="$bin/Qarno"
label=QARNOVOL
serial=1A2B-3C4D

skip() {
  echo "SKIP: $*" >&2
  exit 77
}
[ "$(id -u)" = 0 ] || skip "needs root (loop devices and mounts)"
[ -c /dev/fuse ] || skip "no /dev/fuse"
for tool in mkfs.exfat exfatlabel mount.exfat-fuse losetup udevadm; do
  command -v "$tool" >/dev/null 2>&1 || skip "$tool is missing (packages exfatprogs, exfat-fuse, util-linux, udev)"
done
udevd_bin=/lib/systemd/systemd-udevd
[ -x "$udevd_bin" ] || skip "$udevd_bin is missing (package udev)"
if [ ! -x "$qarno" ]; then
  echo "FAIL: no executable $qarno"
  exit 1
fi

# --- Set-up, and the clean-up of everything set up, whatever happens ---
tmp=$(mktemp -d /tmp/qarno-volumes.XXXXXX)
mounts=()
loop=""
udevd_pids=""
cleanup() {
  local status=$?
  cd /
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount "${mounts[i]}" 2>/dev/null || { sleep 1; umount "${mounts[i]}" 2>/dev/null; } || umount -l "${mounts[i]}" 2>/dev/null
  done
  if [ -n "$loop" ]; then
    losetup -d "$loop" 2>/dev/null
    udevadm settle -t 10 2>/dev/null
  fi
  if [ -n "$udevd_pids" ]; then
    udevadm control --exit 2>/dev/null
    for pid in $udevd_pids; do
      for _ in 1 2 3 4 5 6 7 8 9 10; do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
      kill "$pid" 2>/dev/null
    done
  fi
  rm -rf "$tmp"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 2' INT TERM

failures=0
pass() { echo "PASS: $*"; }
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# check DESCRIPTION COMMAND...: PASS when the command succeeds.
check() {
  local what="$1"
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

# udevd makes the /dev/disk/by-label and by-uuid links the volume identity comes from.
if ! udevadm control --ping -t 2 >/dev/null 2>&1; then
  before=$(pgrep -x systemd-udevd | sort)
  "$udevd_bin" --daemon >/dev/null 2>&1 || skip "could not start $udevd_bin"
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    udevadm control --ping -t 1 >/dev/null 2>&1 && break
    sleep 0.3
  done
  udevd_pids=$(comm -13 <(echo "$before") <(pgrep -x systemd-udevd | sort) | tr '\n' ' ')
  udevadm control --ping -t 2 >/dev/null 2>&1 || skip "systemd-udevd did not come up"
  udevadm trigger >/dev/null 2>&1
  udevadm settle -t 30 >/dev/null 2>&1
fi

# The exFAT volume, drive E:.
img="$tmp/exfat.img"
truncate -s 64M "$img"
mkfs.exfat -L "$label" "$img" >/dev/null || { fail "mkfs.exfat"; exit 1; }
exfatlabel -i "$img" 0x1A2B3C4D >/dev/null || { fail "exfatlabel -i"; exit 1; }
loop=$(losetup -f --show "$img" 2>/dev/null) || { loop=""; skip "no free loop device (losetup -f)"; }
udevadm settle -t 30 >/dev/null 2>&1
linked=0
for _ in $(seq 1 50); do
  if [ "$(readlink -f "/dev/disk/by-label/$label")" = "$loop" ] &&
    [ "$(readlink -f "/dev/disk/by-uuid/$serial")" = "$loop" ]; then
    linked=1
    break
  fi
  sleep 0.2
done
[ "$linked" = 1 ] || skip "udev made no /dev/disk/by-label/$label and by-uuid/$serial links for $loop"
mkdir -p "$tmp/e" "$tmp/f"
mount.exfat-fuse "$loop" "$tmp/e" >/dev/null 2>&1 || skip "mount.exfat-fuse $loop failed"
mounts+=("$tmp/e")

# Qarno's program folder and settings: E: and F: mapped, C: is "/".
export QARNO_HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config"
export LANG=C.UTF-8  # the programs' own language, whatever the caller's locale
unset LC_ALL LC_MESSAGES LANGUAGE
mkdir -p "$QARNO_HOME/SetDir" "$XDG_CONFIG_HOME/Qarno"
printf '[Drives]\nE=%s\nF=%s\n' "$tmp/e" "$tmp/f" >"$XDG_CONFIG_HOME/Qarno/Qarno.conf"
win() { printf 'C:%s' "$(printf '%s' "$1" | tr '/' '\\')"; }

# write_set NAME DEST_WINDOWS_PATH SOURCE_HOST_DIR [EXTRA OPTION LINES...]
write_set() {
  local name="$1" dest="$2" source="$3" reserve_check=0 reserve=0 extra=""
  shift 3
  for o in "$@"; do
    case "$o" in
      RsvSizeChk=*) reserve_check=${o#*=} ;;
      RsvSize=*) reserve=${o#*=} ;;
      *) extra+="#$o"$'\r\n' ;;
    esac
  done
  printf '#Version 1.10\r\ndir=%s\r\n#SaveLevel=0\r\n#ComplexTypeMode=0\r\n#RsvSizeChk=%s\r\n#RsvSize=%s\r\n%s#PathLen=260\r\n#CalUseSize=0\r\n%s\r\n' \
    "$dest" "$reserve_check" "$reserve" "$extra" "$(win "$source")" >"$QARNO_HOME/SetDir/$name.qrn"
}
# run NAME LEVEL: an unattended run as cron starts it (no display, whatever the test runner
# has set); its status in $status, its stderr in $tmp/NAME.err.
run() {
  status=0
  env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$qarno" "$1" /B2 "/L$2" </dev/null >"$tmp/$1.out" 2>"$tmp/$1.err" || status=$?
}
# The listing as tab-separated fields: path, attributes, size, date, flag, save name, volume
# serial, volume name, restore flag, packing, alias.
fields() {
  awk '{ sub(/\r$/, ""); match($0, /^"[^"]*"/); path = substr($0, 2, RLENGTH - 2)
         n = split(substr($0, RLENGTH + 2), f, ","); out = path
         for (i = 1; i <= n; i++) out = out "\t" f[i]; print out }' "$1"
}
# The history lines, newest first, without the version line.
history() { grep -v '^#' "$QARNO_HOME/SetDir/$1.qrl" 2>/dev/null | tr -d '\r'; }
today=$(date +%Y%m%d)

# --- 1. Level-0 and Level-1 onto the exFAT volume ---
src="$tmp/src"
mkdir -p "$src/docs/sub" "$src/写真"
printf 'first version\r\n' >"$src/docs/readme.txt"
printf '日本語のファイル\n' >"$src/docs/日本語.txt"
head -c 300000 /dev/urandom >"$src/写真/picture.jpg"
seq 1 20000 >"$src/docs/sub/numbers.txt"
: >"$src/docs/sub/empty.dat"
write_set vol 'E:\' "$src"
save_root="$tmp/e/vol"
copy_of() { printf '%s/%s/Drive_C%s' "$save_root" "$1" "$2"; }

run vol 0
check "exFAT Level-0: exit status 0 (was $status)" test "$status" = 0
check "exFAT Level-0: no question asked" test ! -s "$tmp/vol.err"
csv0="$save_root/qrn${today}_00.csv"
if [ -f "$csv0" ]; then
  fields "$csv0" >"$tmp/l0.tsv"
  check "exFAT Level-0: every source entry listed (9 lines)" test "$(wc -l <"$tmp/l0.tsv")" = 9
  check "exFAT Level-0: every entry copied (flag 3)" test -z "$(awk -F'\t' '$5 != 3' "$tmp/l0.tsv")"
  check "exFAT Level-0: listing carries $serial and $label (fields 7, 8)" \
    test -z "$(awk -F'\t' -v s="$serial" -v l="$label" '$7 != s || $8 != l' "$tmp/l0.tsv")"
  check "exFAT Level-0: Japanese names listed" grep -qF "$(win "$src")\\写真\\picture.jpg" "$tmp/l0.tsv"
else
  fail "exFAT Level-0: no listing $csv0"
fi
check "exFAT Level-0: the copies equal the source" diff -r "$src" "$(copy_of "qrn${today}_00" "$src")"
IFS=, read -r h_name h_level _ h_dir h_serial h_volname _ <<<"$(history vol | head -1)"
check "exFAT Level-0: history line qrn${today}_00,Level-0,..,E:\\ (was $h_name,$h_level,$h_dir)" \
  test "$h_name,$h_level,$h_dir" = "qrn${today}_00,Level-0,E:\\"
check "exFAT Level-0: history carries $serial and $label (was $h_serial, $h_volname)" \
  test "$h_serial,$h_volname" = "$serial,$label"

# One file changes (and its time moves on); the Level-1 run saves that file alone.
printf 'second version\r\n' >>"$src/docs/readme.txt"
touch -d '+2 minutes' "$src/docs/readme.txt"
run vol 1
check "exFAT Level-1: exit status 0 (was $status)" test "$status" = 0
check "exFAT Level-1: no question asked" test ! -s "$tmp/vol.err"
csv1="$save_root/qrn${today}_01.csv"
changed="$(win "$src")\\docs\\readme.txt"
if [ -f "$csv1" ]; then
  fields "$csv1" >"$tmp/l1.tsv"
  check "exFAT Level-1: every source entry listed (9 lines)" test "$(wc -l <"$tmp/l1.tsv")" = 9
  check "exFAT Level-1: the changed file saved in qrn${today}_01 (flag 3)" \
    test "$(P="$changed" awk -F'\t' '$1 == ENVIRON["P"] { print $5 "," $6 }' "$tmp/l1.tsv")" = "3,qrn${today}_01"
  check "exFAT Level-1: the others keep their Level-0 save (flag 2, qrn${today}_00)" \
    test -z "$(P="$changed" awk -F'\t' -v s="qrn${today}_00" '$1 != ENVIRON["P"] && ($5 != 2 || $6 != s)' "$tmp/l1.tsv")"
  check "exFAT Level-1: listing carries $serial and $label (fields 7, 8)" \
    test -z "$(awk -F'\t' -v s="$serial" -v l="$label" '$7 != s || $8 != l' "$tmp/l1.tsv")"
else
  fail "exFAT Level-1: no listing $csv1"
fi
check "exFAT Level-1: the copy holds the new version" cmp -s "$src/docs/readme.txt" \
  "$(copy_of "qrn${today}_01" "$src/docs/readme.txt")"
check "exFAT Level-1: nothing else copied" \
  test "$(find "$save_root/qrn${today}_01" -type f | wc -l)" = 1
IFS=, read -r h_name h_level _ h_dir h_serial h_volname _ <<<"$(history vol | head -1)"
check "exFAT Level-1: history line qrn${today}_01,Level-1 with $serial and $label (was $h_name,$h_level,$h_serial,$h_volname)" \
  test "$h_name,$h_level,$h_serial,$h_volname" = "qrn${today}_01,Level-1,$serial,$label"
check "exFAT Level-1: two history lines" test "$(history vol | wc -l)" = 2

# --- 2. A destination too small: a 5 MB tmpfs as F:, three files of 2 MB ---
mount -t tmpfs -o size=5M,mode=0755 qarno-volumes "$tmp/f" || { fail "mount the 5 MB tmpfs"; exit 1; }
mounts+=("$tmp/f")
big="$tmp/big"
mkdir -p "$big"
for i in 1 2 3; do head -c 2000000 /dev/urandom >"$big/part$i.bin"; done

# The reserve limit (50 MB, the medium has 5): asked whether to change the medium and then
# whether to lift the limit, /B2 says No twice, every entry is refused and the run ends as
# a success with uncopied entries.
write_set rsv 'F:\' "$big" RsvSizeChk=1 RsvSize=50
run rsv 0
check "reserve: exit status 1 (was $status)" test "$status" = 1
check "reserve: the reserve question on stderr" grep -qF '保存先ディスク残量が制限値以下です!' "$tmp/rsv.err"
csvr="$tmp/f/rsv/qrn${today}_00.csv"
if [ -f "$csvr" ]; then
  fields "$csvr" >"$tmp/rsv.tsv"
  check "reserve: all 4 entries listed" test "$(wc -l <"$tmp/rsv.tsv")" = 4
  check "reserve: every entry refused (flag -2)" test -z "$(awk -F'\t' '$5 != -2' "$tmp/rsv.tsv")"
else
  fail "reserve: no listing $csvr"
fi
check "reserve: nothing copied" test -z "$(find "$tmp/f/rsv" -name '*.bin')"
IFS=, read -r h_name h_level _ _ _ _ _ _ _ _ h_uncopied <<<"$(history rsv | head -1)"
check "reserve: history line with 4 uncopied (was $h_name,$h_level,$h_uncopied)" \
  test "$h_name,$h_level,$h_uncopied" = "qrn${today}_00,Level-0,4"
check "reserve: the log names the refused entries" \
  test "$(grep -cF '保存できませんでした（その他）' "$QARNO_HOME/SetDir/rsv.log")" = 4
rm -rf "$tmp/f/rsv"

# No reserve limit: two files fit, the third finds the medium full; /B2 answers the
# change-the-medium question with Cancel and the run fails. What the failed run made is
# removed (default) or left (#DElErrFile=0); no listing, no history line either way.
write_set full 'F:\' "$big"
run full 0
check "full medium: exit status 2 (was $status)" test "$status" = 2
check "full medium: the full-medium question on stderr" grep -qF 'ドライブの空き量が足りません。' "$tmp/full.err"
check "full medium: no listing" test -z "$(find "$tmp/f" -name '*.csv')"
check "full medium: no history line" test -z "$(history full)"
check "full medium: the incomplete save removed" test ! -e "$tmp/f/full/qrn${today}_00"
check "full medium: the log records the Cancel" grep -qF 'ドライブの空き量が足りません。' "$QARNO_HOME/SetDir/full.log"
rm -rf "$tmp/f/full" "$QARNO_HOME/SetDir/full.qrl" "$QARNO_HOME/SetDir/full.log"

write_set keep 'F:\' "$big" DElErrFile=0
run keep 0
check "full medium, kept: exit status 2 (was $status)" test "$status" = 2
kept="$tmp/f/keep/qrn${today}_00/Drive_C$big"
check "full medium, kept: the two files that fit are whole copies" \
  eval 'cmp -s "$big/part1.bin" "$kept/part1.bin" && cmp -s "$big/part2.bin" "$kept/part2.bin"'
check "full medium, kept: no partial copy of the third" test ! -e "$kept/part3.bin"
check "full medium, kept: no listing" test -z "$(find "$tmp/f" -name '*.csv')"
check "full medium, kept: no history line" test -z "$(history keep)"

if [ "$failures" -gt 0 ]; then
  echo "volumes: $failures check(s) FAILED"
  for f in "$tmp"/*.err; do [ -s "$f" ] && { echo "--- stderr of $(basename "$f" .err)"; cat "$f"; }; done
  for f in "$QARNO_HOME"/SetDir/*.log; do echo "--- $(basename "$f")"; cat "$f"; done
  exit 1
fi
echo "volumes: all checks passed"
