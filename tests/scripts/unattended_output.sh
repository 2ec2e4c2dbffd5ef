#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What the programs say on the command line: --help and --version before anything is loaded,
# errors that name what is wrong, and the lines a scheduled backup or restore leaves in a
# journal or a cron mail (standard output and error redirected to files, as there).
set -u
bin=${1:?usage: unattended_output.sh BINDIR}
[ -x "$bin/qarno-restore" ] && [ -x "$bin/Qarno" ] || { echo "skipped: executables not built"; exit 77; }
work=$(mktemp -d /tmp/qarno-output.XXXXXX)
trap 'rm -rf "$work"' EXIT
export QARNO_HOME="$work/home" XDG_CONFIG_HOME="$work/config"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export LANG=C.UTF-8  # the programs' own language, whatever the caller's locale
unset LC_ALL LC_MESSAGES LANGUAGE
mkdir -p "$QARNO_HOME/SetDir" "$XDG_CONFIG_HOME/Qarno" "$work/t/src" "$work/t/dst"
printf '[Drives]\nT=%s\n' "$work/t" > "$XDG_CONFIG_HOME/Qarno/Qarno.conf"
echo data > "$work/t/src/a.txt"
printf '#Version 1.10\r\ndir=T:\\dst\r\n#ComplexTypeMode=0\r\n#CalUseSize=0\r\n#RsvSizeChk=0\r\nT:\\src\r\n' > "$QARNO_HOME/SetDir/demo.qrn"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect() {
  local want=$1; shift
  timeout 60 "$@" > "$work/out" 2> "$work/err"
  local got=$?
  [ "$got" = "$want" ] || { fail "exit $got (wanted $want): $*"; sed 's/^/  out: /' "$work/out"; sed 's/^/  err: /' "$work/err"; }
}
has() { grep -qF -- "$2" "$work/$1" || { fail "$1 lacks: $2"; sed "s/^/  $1: /" "$work/$1"; }; }
lacks() { ! grep -qF -- "$2" "$work/$1" || fail "$1 has: $2"; }

# --help and --version: stdout, status 0, with or without a display, no set looked up.
for display in "" offscreen; do
  for opt in --help -h; do
    expect 0 env ${display:+QT_QPA_PLATFORM=$display} "$bin/Qarno" "$opt"
    for s in /Ln /Bn /Cn /Wn /S /Dn "0 成功" "3 セットを読み込めない"; do has out "$s"; done
    [ ! -s "$work/err" ] || fail "Qarno $opt wrote on stderr"
  done
  expect 0 env ${display:+QT_QPA_PLATFORM=$display} "$bin/Qarno" --version
  grep -qE '^Qarno [0-9]+\.[0-9]+\.[0-9]+$' "$work/out" || fail "Qarno --version: $(cat "$work/out")"
done
expect 0 "$bin/qarno-restore" --help
has out "--search-older"
expect 0 "$bin/qarno-restore" --version
grep -qE '^qarno-restore [0-9]+\.[0-9]+\.[0-9]+$' "$work/out" || fail "qarno-restore --version"
if [ -x "$bin/qarno-notify" ]; then
  expect 0 "$bin/qarno-notify" --version
  expect 2 "$bin/qarno-notify" --summary t --colour red
  has err "colour"
fi

# An unknown option or a missing value is named; so is a set that is not there, with the folder.
expect 2 "$bin/qarno-restore" demo --bogus
has err "bogus"
expect 2 "$bin/qarno-restore" demo qrn20260101_00 --to
has err "--to"
expect 2 "$bin/qarno-restore" nosuch
has err "nosuch"
has err "$QARNO_HOME/SetDir"
expect 3 "$bin/Qarno" nosuch /B2
has err "nosuch"
has err "$QARNO_HOME/SetDir"

# A short scheduled run with two switches it does not know: they are named on stderr and in
# the log, the run is made, and stdout has the start and the summary but no progress line.
expect 0 "$bin/Qarno" demo /B2 /L0 /X1 /Lx
has err "/X1"
has err "/Lx"
grep -qF "/X1" "$QARNO_HOME/SetDir/demo.log" || fail "the log does not name /X1"
save=$(basename "$(ls "$work/t/dst/demo/"qrn*.csv | head -1)" .csv)
[ "$(wc -l < "$work/out")" = 2 ] || fail "not two lines on stdout"
has out "Qarno: 開始 セット=demo レベル=Level-0 保存先=T:\\dst"
has out "Qarno: 終了 セット=demo 保存名=$save ファイル=1 KB=1 未コピー=0 経過=00:00:0"
has out "終了状態=0 ログ=$QARNO_HOME/SetDir/demo.log"
lacks out "進行"

# The run window's unattended run says the same.
expect 0 env QT_QPA_PLATFORM=offscreen "$bin/Qarno" demo /B2 /L2
has out "Qarno: 開始 セット=demo レベル=Level-2"
has out "終了状態=0 ログ=$QARNO_HOME/SetDir/demo.log"

# A failed run: what went wrong on stderr, the summary with its status on stdout.
echo file > "$work/t/afile"
printf '#Version 1.10\r\ndir=T:\\afile\r\n#ComplexTypeMode=0\r\n#CalUseSize=0\r\n#RsvSizeChk=0\r\nT:\\src\r\n' > "$QARNO_HOME/SetDir/lost.qrn"
expect 2 "$bin/Qarno" lost /B2 /L0
[ -s "$work/err" ] || fail "a failed run said nothing on stderr"
has out "Qarno: 終了 セット=lost"
has out "終了状態=2"

# A restore: start and summary.
expect 0 "$bin/qarno-restore" demo "$save" --to 'T:\r'
has out "qarno-restore: 開始 セット=demo 保存名=$save 復元先=T:\\r ファイル=1"
has out "qarno-restore: 終了 セット=demo 保存名=$save ファイル=1/1 KB=1/1 未復元=0"
has out "終了状態=0"

[ "$failures" = 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "unattended_output: all passed"
