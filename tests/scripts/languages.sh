#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The language of the command-line programs follows the locale: English for English (no
# Japanese but the names the test made), Japanese for Japanese and for the plain C locale,
# the same bytes in both. Help, a status report, a verification, a search, wrong command
# lines, and Qarno without a display.
set -u
bin=${1:?usage: languages.sh BINDIR}
[ -x "$bin/qarno-restore" ] && [ -x "$bin/Qarno" ] || { echo "skipped: executables not built"; exit 77; }
work=$(mktemp -d /tmp/qarno-languages.XXXXXX)
trap 'rm -rf "$work"' EXIT
export QARNO_HOME="$work/home" XDG_CONFIG_HOME="$work/config"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM LC_ALL LC_MESSAGES LANGUAGE
mkdir -p "$QARNO_HOME/SetDir" "$XDG_CONFIG_HOME/Qarno" "$work/t/src" "$work/t/dst"
printf '[Drives]\nT=%s\n' "$work/t" > "$XDG_CONFIG_HOME/Qarno/Qarno.conf"
# A name of the test's own in Japanese: it may appear in every language.
name='日誌'
echo data > "$work/t/src/$name.txt"
printf '#Version 1.10\r\ndir=T:\\dst\r\n#ComplexTypeMode=0\r\n#CalUseSize=0\r\n#RsvSizeChk=0\r\nT:\\src\r\n' > "$QARNO_HOME/SetDir/demo.qrn"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

LANG=C.UTF-8 "$bin/Qarno" demo /B2 /L0 > /dev/null 2>&1 || fail "the backup the test needs did not succeed"
save=$(basename "$(ls "$work/t/dst/demo/"qrn*.csv 2> /dev/null | head -1)" .csv)

# What each program says, standard output and error together, with its exit status.
speak() {
  local lang=$1 out="$work/$1.txt"
  : > "$out"
  run() {
    { echo "\$ $*"; LANG=$lang timeout 60 "$@" 2>&1; echo "status $?"; } >> "$out"
  }
  run "$bin/Qarno" --help
  run "$bin/Qarno" demo
  run "$bin/Qarno" /B2
  run "$bin/qarno-restore" --help
  run "$bin/qarno-restore" demo --status
  run "$bin/qarno-restore" demo "$save" --verify --full
  run "$bin/qarno-restore" demo --find '*.none'
  run "$bin/qarno-restore" demo --bogus
  run "$bin/qarno-restore" nosuch --status
  run "$bin/Qarno" nosuch /B2 /X1
  run "$bin/qarno-restore" demo "$save" --to 'T:\dst\demo'
  [ -x "$bin/qarno-notify" ] && run "$bin/qarno-notify" --help
  [ -x "$bin/qarno-notify" ] && run "$bin/qarno-notify" --summary t --colour red
}
speak en_US.UTF-8
speak ja_JP.UTF-8
speak C.UTF-8

japanese='[\x{3000}-\x{30ff}\x{4e00}-\x{9fff}\x{ff00}-\x{ffef}]'
if grep -vF "$name" "$work/en_US.UTF-8.txt" | grep -qP "$japanese"; then
  fail "Japanese in the English output:"
  grep -vF "$name" "$work/en_US.UTF-8.txt" | grep -P "$japanese" | sed 's/^/  /'
fi
grep -q 'Usage: qarno-restore' "$work/en_US.UTF-8.txt" || fail "the English help of qarno-restore"
grep -q 'files checked of' "$work/en_US.UTF-8.txt" || fail "the English verification"
cmp -s "$work/ja_JP.UTF-8.txt" "$work/C.UTF-8.txt" ||
  { fail "Japanese and C outputs differ"; diff "$work/ja_JP.UTF-8.txt" "$work/C.UTF-8.txt" | head -20; }
for said in '使い方: Qarno' '使い方: qarno-restore' '最後に成功した保存' '個のファイルを検証' 'ディスプレイがありません'; do
  grep -qF "$said" "$work/C.UTF-8.txt" || fail "the Japanese output lacks: $said"
done
# The exit statuses are the same in every language.
[ "$(grep '^status' "$work/en_US.UTF-8.txt")" = "$(grep '^status' "$work/C.UTF-8.txt")" ] || fail "exit statuses differ"

[ "$failures" = 0 ] || { echo "$failures failure(s)"; sed 's/^/  en: /' "$work/en_US.UTF-8.txt"; exit 1; }
echo "languages: all passed"
