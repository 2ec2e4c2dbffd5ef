#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package end to end, on this machine: build it (scripts/package.sh, lintian
# included), install it with apt-get as a user would, check what it put where, run the
# installed programs on a demo set in a temporary program folder and settings (a Level-0
# run with packing, so the archiver must be found from the install prefix; a restore compared
# with the source; a failed run that hands its notification to the installed helper), then
# remove the package again. Needs root; exits 77 (skipped) otherwise.
# Usage: tests/package/install.sh
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: installing the package needs root"
  exit 77
fi
root=$(cd "$(dirname "$0")/../.." && pwd)
id=io.github.qarno.Qarno
work=$(mktemp -d /tmp/qarno-package.XXXXXX)
installed=0
monitor=
bus=
cleanup() {
  [ -n "$monitor" ] && kill "$monitor" 2>/dev/null || true
  [ -n "$bus" ] && kill "$bus" 2>/dev/null || true
  if [ "$installed" = 1 ]; then
    echo "== removing the package"
    DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -qq qarno >/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

echo "== building the package"
bash "$root/scripts/package.sh" "$work/out"
deb=$(ls "$work"/out/qarno_*_*.deb)
[[ $(basename "$deb") =~ ^qarno_[0-9.]+_[a-z0-9]+\.deb$ ]] || fail "package name $(basename "$deb")"

echo "== installing $(basename "$deb")"
if dpkg-query -W -f='${Status}' qarno 2>/dev/null | grep -q "install ok installed"; then
  # Left by an earlier run that was stopped before its clean-up: replaced, and removed below.
  echo "note: qarno is installed already; this package replaces it and is removed at the end"
fi
installed=1
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null

echo "== the files"
for f in /usr/bin/Qarno /usr/bin/qarno-restore /usr/lib/qarno/libunlha32.so /usr/lib/qarno/qarno-windows.so \
         /usr/libexec/qarno/qarno-notify \
         /usr/share/qarno/Qarno.nct /usr/share/applications/$id.desktop \
         /usr/share/icons/hicolor/scalable/apps/$id.svg /usr/share/metainfo/$id.metainfo.xml \
         /usr/share/man/man1/Qarno.1.gz /usr/share/man/man1/qarno-restore.1.gz \
         /usr/share/man/ja/man1/Qarno.1.gz /usr/share/man/ja/man1/qarno-restore.1.gz \
         /usr/lib/systemd/user/qarno@.service /usr/lib/systemd/user/qarno@.timer \
         /usr/lib/systemd/user/qarno-status@.service /usr/lib/systemd/user/qarno-status@.timer \
         /usr/share/doc/qarno/examples/qarno-usb-backup.service \
         /usr/share/doc/qarno/copyright /usr/share/doc/qarno/changelog.gz; do
  [ -e "$f" ] || fail "$f is not installed"
done
if [ -d "$root/docs/guide" ]; then
  [ -f /usr/share/qarno/guide/index.html ] || fail "the user guide is not installed"
  # The pictures the guide shows, where it finds them.
  for picture in $(grep -oE 'src="\.\./screenshots/[^"]+"' /usr/share/qarno/guide/index.html | sed -E 's|src="\.\./||; s|"$||'); do
    [ -f "/usr/share/qarno/$picture" ] || fail "the guide shows $picture, which is not installed"
  done
fi
desktop-file-validate /usr/share/applications/$id.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net /usr/share/metainfo/$id.metainfo.xml >/dev/null || fail "appstreamcli validate"
[ "$(man -w Qarno)" = /usr/share/man/man1/Qarno.1.gz ] || fail "man -w Qarno"
[ "$(man -L ja -w Qarno)" = /usr/share/man/ja/man1/Qarno.1.gz ] || fail "man -L ja -w Qarno"
grep -q '^ExecStart=/usr/bin/Qarno \${QARNO_SET} /B2$' /usr/lib/systemd/user/qarno@.service || fail "ExecStart"
grep -q '^ExecStart=/usr/bin/qarno-restore --status --notify -- \${QARNO_SET}$' /usr/lib/systemd/user/qarno-status@.service || fail "ExecStart of qarno-status@"
grep -q '^License: GPL-3.0-or-later$' /usr/share/doc/qarno/copyright || fail "the copyright file names no licence"
if command -v systemd-analyze >/dev/null; then
  export XDG_RUNTIME_DIR="$work/run"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  # The installed units, with their man page and program, as the user's manager reads them.
  if out=$(systemd-analyze verify --user /usr/lib/systemd/user/qarno@.service /usr/lib/systemd/user/qarno@.timer \
             /usr/lib/systemd/user/qarno-status@.service /usr/lib/systemd/user/qarno-status@.timer 2>&1); then
    [ -z "$out" ] || { echo "$out"; fail "systemd-analyze verify warned"; }
  elif grep -q "Failed to initialize manager" <<<"$out"; then
    echo "systemd-analyze cannot run here: units not verified"
  else
    echo "$out"; fail "systemd-analyze verify"
  fi
  unset XDG_RUNTIME_DIR
fi

echo "== a run of the installed Qarno (headless, packing on)"
export QARNO_HOME="$work/home" XDG_CONFIG_HOME="$work/config"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export DBUS_SESSION_BUS_ADDRESS=  # no notification for the runs that should succeed
mkdir -p "$QARNO_HOME/SetDir" "$work/source/docs/sub" "$work/source/photos" "$work/dest" "$work/restored"
win() { printf 'C:%s' "$(printf '%s' "$1" | tr '/' '\\')"; }
printf 'Qarno package test\r\n' >"$work/source/docs/readme.txt"
printf '日本語のファイル\n' >"$work/source/docs/日本語.txt"
seq 1 20000 >"$work/source/docs/sub/numbers.txt"
head -c 200000 /dev/urandom >"$work/source/photos/picture.jpg"
# Pack every file except the listed types; the list itself comes from /usr/share/qarno.
printf '#Version 1.10\r\ndir=%s\r\n#SaveLevel=0\r\n#ComplexTypeMode=1\r\n#ComplexSettingMode=0\r\n#CalUseSize=0\r\n#RsvSizeChk=0\r\n#PathLen=260\r\n%s\r\n' \
  "$(win "$work/dest")" "$(win "$work/source")" >"$QARNO_HOME/SetDir/DEMO.qrn"
status=0
/usr/bin/Qarno DEMO /B2 /L0 || status=$?
[ "$status" = 0 ] || fail "Qarno DEMO /B2 /L0 ended with status $status"
cmp -s "$QARNO_HOME/Qarno.nct" /usr/share/qarno/Qarno.nct || fail "the program folder did not get the shipped type list"
save=$(basename "$(ls "$work/dest/DEMO/"qrn*.csv | head -1)" .csv)
drive="$work/dest/DEMO/$save/Drive_C$work/source"
if ! [ -f "$drive/docs/readme.txt.LZH" ] || ! [ -f "$drive/docs/sub/numbers.txt.LZH" ]; then
  (cd "$work/dest" && find . | sort)
  fail "the installed Qarno did not pack (archiver not found from the install prefix?)"
fi
[ -f "$drive/photos/picture.jpg" ] || fail "picture.jpg should be stored plainly (a listed type)"
echo "save $save: packed with the installed archiver, jpg stored plainly"

echo "== a restore with the installed qarno-restore"
/usr/bin/qarno-restore DEMO "$save" --to "$(win "$work/restored")"
diff -r "$work/source" "$work/restored/Drive_C$work/source" || fail "the restored tree differs from the source"
echo "the restored tree equals the source"

echo "== a failed run hands its notification to the installed helper"
if command -v dbus-daemon >/dev/null && command -v dbus-monitor >/dev/null; then
  cat >"$work/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>session</type><listen>unix:dir=$work</listen><auth>EXTERNAL</auth>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/>
<allow own="*"/></policy></busconfig>
CONF
  dbus-daemon --config-file="$work/bus.conf" --nofork --print-address=3 3>"$work/bus.address" 2>"$work/bus.log" &
  bus=$!
  for _ in $(seq 50); do [ -s "$work/bus.address" ] && break; sleep 0.1; done
  address=$(head -1 "$work/bus.address")
  [ -n "$address" ] || fail "the private bus did not start"
  dbus-monitor --address "$address" "interface='org.freedesktop.Notifications',member='Notify'" >"$work/monitor.txt" 2>&1 &
  monitor=$!
  sleep 0.5
  # A destination on a drive the table does not have: the run fails (status 2).
  sed -i 's/^dir=.*\r$/dir=Q:\\nowhere\r/' "$QARNO_HOME/SetDir/DEMO.qrn"
  status=0
  DBUS_SESSION_BUS_ADDRESS=$address /usr/bin/Qarno DEMO /B2 /L0 2>/dev/null || status=$?
  [ "$status" = 2 ] || fail "the failed run ended with status $status, not 2"
  for _ in $(seq 100); do grep -q 'member=Notify' "$work/monitor.txt" && break; sleep 0.1; done
  grep -q 'member=Notify' "$work/monitor.txt" || { cat "$work/monitor.txt"; fail "no notification was sent"; }
  grep -q 'string "Qarno: バックアップが失敗しました"' "$work/monitor.txt" || fail "the notification's title"
  grep -q 'セット名: DEMO' "$work/monitor.txt" || fail "the notification does not name the set"
  echo "the installed helper sent the notification"
else
  echo "no dbus-daemon or dbus-monitor: notification not checked"
fi
echo "package test passed"
