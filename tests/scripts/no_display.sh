#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Qarno without a display: one line on standard error and status 3, or, for an automatic
# run, the headless run; never Qt's abort.
set -euo pipefail
bin=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QARNO_HOME="$work/home" XDG_CONFIG_HOME="$work/config"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
mkdir -p "$QARNO_HOME/SetDir" "$work/src" "$work/dst"
echo data > "$work/src/a.txt"
printf '#Version 1.10\r\ndir=C:%s\r\n#ComplexTypeMode=0\r\n#CalUseSize=0\r\n#RsvSizeChk=0\r\nC:%s\r\n' \
  "$(echo "$work/dst" | tr / '\\')" "$(echo "$work/src" | tr / '\\')" > "$QARNO_HOME/SetDir/demo.qrn"

status=0
"$bin/Qarno" demo > "$work/out" 2> "$work/err" || status=$?
if [ "$status" -ne 3 ] || [ "$(wc -l < "$work/err")" -ne 1 ] || ! grep -q '/B2' "$work/err"; then
  echo "without a display and without /B: status $status, stderr:"; cat "$work/err"; exit 1
fi
status=0
"$bin/Qarno" demo /B2 /L0 > "$work/out" 2> "$work/err" || status=$?
if [ "$status" -ne 0 ] || ! ls "$work/dst/demo"/qrn*.csv > /dev/null 2>&1; then
  echo "the automatic run without a display failed: status $status"; cat "$work/err"; exit 1
fi
echo "no display: the one-line notice, and the headless automatic run"
