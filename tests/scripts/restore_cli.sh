#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# qarno-restore end to end: real backups made by Qarno's automatic runs (packed with the
# archiver library), then listings, restores in place and elsewhere, partial restores, and
# the outputs and exit statuses of the failures.
set -u
bin=${1:?usage: restore_cli.sh BINDIR}
[ -x "$bin/qarno-restore" ] && [ -x "$bin/Qarno" ] || { echo "skipped: executables not built"; exit 77; }

work=$(mktemp -d /tmp/qarno-restore-cli.XXXXXX)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
export QARNO_HOME="$work/home" XDG_CONFIG_HOME="$work/config"
# The programs speak Japanese here, their own language; a check that reads an English text
# runs its program in English.
export LANG=C.UTF-8
unset LC_ALL LC_MESSAGES LANGUAGE
en=(env LANG=en_US.UTF-8)
mkdir -p "$QARNO_HOME/SetDir" "$XDG_CONFIG_HOME/Qarno" "$work/t/src/docs/sub" "$work/t/dst"
printf '[Drives]\nT=%s\n' "$work/t" > "$XDG_CONFIG_HOME/Qarno/Qarno.conf"
src="$work/t/src"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# expect STATUS COMMAND...: runs the command with its output in $work/out and $work/err.
expect() {
  local want=$1; shift
  "$@" > "$work/out" 2> "$work/err"
  local got=$?
  [ "$got" = "$want" ] || { fail "exit $got (wanted $want): $*"; sed 's/^/  out: /' "$work/out"; sed 's/^/  err: /' "$work/err"; }
}
has() { grep -qF -- "$2" "$work/$1" || { fail "$1 lacks: $2"; sed "s/^/  $1: /" "$work/$1"; }; }
lacks() { ! grep -qF -- "$2" "$work/$1" || fail "$1 has: $2"; }
# same DIR1 DIR2: equal content, sizes, modification times and write permission.
same() {
  diff -r "$1" "$2" > /dev/null || { fail "content differs: $1 $2"; diff -r "$1" "$2" | head -5; return; }
  local a b
  a=$(cd "$1" && find . -type f -printf '%p %s %T@ %m\n' | sed 's/\.[0-9]* / /' | sort)
  b=$(cd "$2" && find . -type f -printf '%p %s %T@ %m\n' | sed 's/\.[0-9]* / /' | sort)
  [ "$a" = "$b" ] || { fail "sizes, dates or modes differ: $1 $2"; diff <(echo "$a") <(echo "$b") | head -6; }
}
csv() { ls "$work/t/dst/cli/"qrn*.csv | sort | sed -n "${1}p"; }

# The tree as it stands at the first run.
printf 'readme\r\n' > "$src/docs/readme.txt"
seq 1 30000 > "$src/docs/sub/numbers.txt"
head -c 70000 /dev/urandom > "$src/docs/random.bin"
printf 'fixed\n' > "$src/docs/sub/ro.txt"; chmod 444 "$src/docs/sub/ro.txt"
: > "$src/empty.txt"
touch -d '2020-01-02 03:04:05' "$src"/docs/readme.txt "$src"/docs/sub/numbers.txt "$src"/docs/random.bin "$src"/docs/sub/ro.txt "$src"/empty.txt
printf '#Version 1.10\r\ndir=T:\\dst\r\n#SaveLevel=0\r\n#ComplexTypeMode=1\r\n#PathLen=260\r\nT:\\src\r\n' > "$QARNO_HOME/SetDir/cli.qrn"

expect 0 "$bin/Qarno" cli /B2 /L0
cp -a "$src" "$work/snap0"
save0=$(basename "$(csv 1)" .csv)

# Changes for the second run: one file changed, one added, one removed.
printf 'readme, second edition\r\n' > "$src/docs/readme.txt"
touch -d '2021-05-06 07:08:09' "$src/docs/readme.txt"
printf 'added\n' > "$src/docs/sub/added.txt"
touch -d '2021-05-06 07:08:09' "$src/docs/sub/added.txt"
rm "$src/empty.txt"
expect 0 "$bin/Qarno" cli /B2 /L1
cp -a "$src" "$work/snap1"
save1=$(basename "$(csv 2)" .csv)
[ "$save0" != "$save1" ] || fail "one save name for both runs"

# The history, newest first.
expect 0 "$bin/qarno-restore" cli
has out "保存名	レベル"
[ "$(sed -n 2p "$work/out" | cut -f1,2)" = "$save1	Level-1" ] || fail "history row 1: $(sed -n 2p "$work/out")"
[ "$(sed -n 3p "$work/out" | cut -f1,2)" = "$save0	Level-0" ] || fail "history row 2: $(sed -n 3p "$work/out")"

# The entries of the second run: unchanged ones are held by the first.
expect 0 "$bin/qarno-restore" cli "$save1" --list
has out "T:\\src\\docs\\readme.txt	---A-	24	2021/05/06 07:08:09	3	$save1	1	"
has out "T:\\src\\docs\\random.bin	---A-	70000	2020/01/02 03:04:05	2	$save0	1	"
lacks out "empty.txt"

# Each run restored under another directory is the tree as it stood at that run.
expect 0 "$bin/qarno-restore" cli "$save0" --to 'T:\r0'
has out "復元できなかった項目: 0"
same "$work/snap0" "$work/t/r0/Drive_T/src"
expect 0 "$bin/qarno-restore" cli "$save1" --to 'T:\r1'
has out "復元済み: ファイル 5 / フォルダー 3 /"
same "$work/snap1" "$work/t/r1/Drive_T/src"

# In place, after the tree was lost.
chmod -R u+w "$src"; rm -rf "$src"
expect 0 "$bin/qarno-restore" cli "$save1"
same "$work/snap1" "$src"

# Only what lies below one folder.
expect 0 "$bin/qarno-restore" cli "$save1" --to 'T:\r2' --path 'T:\src\docs\sub'
same "$work/snap1/docs/sub" "$work/t/r2/Drive_T/src/docs/sub"
[ ! -e "$work/t/r2/Drive_T/src/docs/readme.txt" ] || fail "--path restored more than asked"
expect 2 "${en[@]}" "$bin/qarno-restore" cli "$save1" --to 'T:\r2' --path 'T:\src\doc'
has err "is not listed"

# Could not start: unknown set or save, unreadable listing, bad arguments.
expect 2 "${en[@]}" "$bin/qarno-restore" nosuchset
has err "no set named nosuchset"
expect 2 "${en[@]}" "$bin/qarno-restore" cli qrn19990101_00
has err "not in the history"
expect 2 "$bin/qarno-restore" cli "$save0" --bogus
has err "'bogus'"
mv "$(csv 1)" "$work/save0.csv"
expect 2 "$bin/qarno-restore" cli "$save0" --to 'T:\r3'
has err "CSVファイルがリードできません。"
mv "$work/save0.csv" "$work/t/dst/cli/$save0.csv"

# An entry whose save is unknown stays unrestored (1) unless older runs are searched (0);
# a crafted path is never restored.
sed -i "s|^\(\"T:\\\\src\\\\docs\\\\random.bin\",[^,]*,[^,]*,[^,]*,[^,]*,\)$save0,|\1,|" "$(csv 2)"
grep -q '^"T:\\src\\docs\\random.bin",[^,]*,[^,]*,[^,]*,2,,' "$(csv 2)" || fail "listing not edited"
expect 1 "$bin/qarno-restore" cli "$save1" --to 'T:\r4'
has out "復元できませんでした: T:\\src\\docs\\random.bin"
has out "復元できなかった項目: 1"
has err "別の保存データーを使用して復元しますか？"
expect 0 "$bin/qarno-restore" cli "$save1" --to 'T:\r5' --search-older
cmp -s "$work/snap1/docs/random.bin" "$work/t/r5/Drive_T/src/docs/random.bin" || fail "search in older runs"
printf '"T:\\src\\..\\..\\escape.txt",---A-,1,2020/01/02 03:04:05,3,%s,,,,0,\r\n' "$save1" >> "$(csv 2)"
expect 1 "$bin/qarno-restore" cli "$save1" --to 'T:\r6' --search-older
has out "復元できませんでした: T:\\src\\..\\..\\escape.txt"
[ ! -e "$work/escape.txt" ] && [ ! -e "$work/t/escape.txt" ] || fail "a crafted path was written"

# Blank lines in a listing are skipped, by --list and by a restore (the window asks).
sed -i '1i\\r' "$(csv 2)"; printf '\r\n  \r\n' >> "$(csv 2)"
expect 0 "$bin/qarno-restore" cli "$save1" --list
has out "T:\\src\\docs\\readme.txt"
expect 1 "$bin/qarno-restore" cli "$save1" --to 'T:\r6b' --search-older
has out "復元できなかった項目: 1"
lacks err "CSVファイルの内容がおかしいです。"
cmp -s "$work/snap1/docs/readme.txt" "$work/t/r6b/Drive_T/src/docs/readme.txt" || fail "restore with blank lines"

# Set names that cannot name a set file stop at once (2) with one line saying why; the set
# used last (the settings name it) is never restored instead.
printf '[Startup Setting]\nResentFile=cli\n' >> "$XDG_CONFIG_HOME/Qarno/Qarno.conf"
for bad in '' '/L0' '"cli"' "'cli" 'a\b' 'x/../cli' 'C:cli' '..' 'cl?i' 'CON'; do
  expect 2 "${en[@]}" "$bin/qarno-restore" "$bad" "$save1" --to 'T:\r9'
  has err "is not a set name"
  [ "$(wc -l < "$work/err")" = 1 ] || fail "more than one line for the set name [$bad]"
done
[ ! -e "$work/t/r9" ] || fail "a bad set name restored a set"
expect 2 "${en[@]}" "$bin/qarno-restore" cli '..\..\cli' --list
has err "is not a save name"

# A restore into the set's own saves would overwrite the copies it reads: refused.
sums() { (cd "$work/t/dst" && find . -type f -exec md5sum {} + | sort); }
before=$(sums)
expect 2 "${en[@]}" "$bin/qarno-restore" cli "$save1" --to "T:\\dst\\cli\\$save1"
has err "lies among the saves of set cli"
expect 2 "$bin/qarno-restore" cli "$save1" --to 'T:\dst\cli'
[ "$before" = "$(sums)" ] || fail "the saves changed"

# A pipe in place of the history is unreadable at once, never a hang.
cp "$QARNO_HOME/SetDir/cli.qrn" "$QARNO_HOME/SetDir/piped.qrn"
mkfifo "$QARNO_HOME/SetDir/piped.qrl"
expect 2 timeout 20 "${en[@]}" "$bin/qarno-restore" piped "$save1" --list
has err "is not in the history of piped"

# A lost copy: the safe answer stops the restore (2); the prompt goes to standard error.
rm "$work/t/dst/cli/$save1/Drive_T/src/docs/sub/added.txt.LZH"
expect 2 "$bin/qarno-restore" cli "$save1" --to 'T:\r7' --path 'T:\src\docs\sub\added.txt'
has err "復元できません。 -> Abort"
has out "復元は中止されました"

# A medium other than the history's: refused unless --ignore-medium.
sed -i "s|^\($save0,[^,]*,[^,]*,[^,]*,\)[^,]*,|\1FFFF-0000,|" "$QARNO_HOME/SetDir/cli.qrl"
grep -q "^$save0,.*FFFF-0000" "$QARNO_HOME/SetDir/cli.qrl" || fail "history not edited"
expect 2 "$bin/qarno-restore" cli "$save0" --to 'T:\r8'
has err "前回とメディアが変わっています。"
expect 0 "$bin/qarno-restore" cli "$save0" --to 'T:\r8' --ignore-medium
same "$work/snap0" "$work/t/r8/Drive_T/src"

# The trace of /Dn: 1 with file names, 2 without, into the program folder's debug file.
rm -f "$QARNO_HOME/Qarno.deb"
expect 0 "$bin/qarno-restore" --debug 1 cli "$save1" --list
has out "T:\\src\\docs\\readme.txt"
grep -q "^4010 \[ReadSaveList\]" "$QARNO_HOME/Qarno.deb" || fail "no trace with --debug 1"
grep -qF "$save1.csv" "$QARNO_HOME/Qarno.deb" || fail "no file names with --debug 1"
expect 0 "$bin/qarno-restore" cli "$save1" --list --debug 2
grep -q "^4011\s*$" "$QARNO_HOME/Qarno.deb" || fail "no bare trace codes with --debug 2"
! grep -qF "$save1.csv" "$QARNO_HOME/Qarno.deb" || fail "file names with --debug 2"
expect 2 "$bin/qarno-restore" --debug 7 cli "$save1" --list
has err "--debug"

[ "$failures" = 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "restore_cli: all passed"
