#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The files that make Qarno a desktop program, checked as the desktop and the distribution
# read them: the desktop entry (desktop-file-validate), the AppStream metadata (appstreamcli),
# the licence, the systemd user units and the example unit of the documents (systemd-analyze
# verify, against the built programs), the type list a built program starts with, the manual
# pages (man and groff warnings, the Japanese ones under a Japanese locale), the pictures the
# guide shows, the settings keys the documents name, and one version everywhere (project,
# metadata, changelog, pages).
# Usage: desktop_files.sh BINDIR
set -euo pipefail
bin=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
pkg="$root/packaging"
id=io.github.qarno.Qarno
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0
bad() { echo "FAIL: $*"; fail=1; }

for tool in desktop-file-validate appstreamcli man groff preconv; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/install-deps.sh installs it)"; exit 1; }
done

# The desktop entry and the metadata, and that they name each other and the icon.
desktop-file-validate "$pkg/$id.desktop" || bad "desktop-file-validate $id.desktop"
appstreamcli validate --no-net "$pkg/$id.metainfo.xml" >"$tmp/as.txt" 2>&1 || { cat "$tmp/as.txt"; bad "appstreamcli validate"; }
grep -q "^Icon=$id$" "$pkg/$id.desktop" || bad "the desktop entry does not name the icon $id"
[ -f "$pkg/$id.svg" ] || bad "no icon $id.svg"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$pkg/$id.metainfo.xml" || bad "the metadata does not launch $id.desktop"
grep -q '^Categories=.*Utility;.*Archiving;' "$pkg/$id.desktop" || bad "categories"
grep -q '^Name\[ja\]=' "$pkg/$id.desktop" && grep -q '^GenericName\[ja\]=' "$pkg/$id.desktop" || bad "no Japanese names"

# The licence: the text at the root, and the same licence named by the package and the metadata.
grep -q "GNU GENERAL PUBLIC LICENSE" "$root/COPYING" && grep -q "Version 3, 29 June 2007" "$root/COPYING" || bad "COPYING is not the GPL 3 text"
grep -q '^License: GPL-3.0-or-later$' "$pkg/debian/copyright" || bad "debian/copyright does not license the files GPL-3.0-or-later"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$pkg/$id.metainfo.xml" || bad "metainfo has no project_license"
# Every picture the metadata, the guide and the README show is one of docs/screenshots/ (the
# build installs those the guide names beside it).
pictures=$( (sed -nE 's|.*<image>[^<]*/docs/screenshots/([^<]+)</image>.*|\1|p' "$pkg/$id.metainfo.xml"
             grep -oE 'src="\.\./screenshots/[^"]+"' "$root/docs/guide/index.html" | sed -E 's|src="\.\./screenshots/||; s|"$||'
             grep -oE '\(docs/screenshots/[^)]+\)' "$root/README.md" | sed -E 's|^\(docs/screenshots/||; s|\)$||') | sort -u)
grep -q '<screenshot type="default">' "$pkg/$id.metainfo.xml" || bad "metainfo has no default screenshot"
grep -q 'src="\.\./screenshots/' "$root/docs/guide/index.html" || bad "the guide shows no screenshot"
for picture in $pictures; do
  [ -f "$root/docs/screenshots/$picture" ] || bad "docs/screenshots/$picture is shown but missing"
done

# The settings keys the documents name are the ones the program reads, and the section is
# named as the settings file spells it. A key is a capitalised word before "="; the directives of
# systemd units shown in the documents are not keys.
units=$(find "$pkg/systemd" -name '*.service' -o -name '*.timer')
directives=$(sed -nE 's/^([A-Za-z]+)=.*/\1/p' $units | sort -u)
keys=$(grep -ohE '(^|[^A-Za-z0-9_.-])#?[A-Z][a-z]+([A-Z][A-Za-z]*)?=' "$root/README.md" "$root/docs/guide/index.html" \
         "$root"/docs/man/*.1 "$root"/docs/man/ja/*.1 | grep -oE '#?[A-Za-z]+=$' | tr -d '=' | sort -u)
for key in $keys; do
  grep -qx -- "$key" <<<"$directives" && continue
  if [[ $key == \#* ]]; then
    grep -qF "\"$key=\"" "$root/src/mainwin/SetFile.cpp" || bad "the documents name the set file key $key, which the set file does not have"
  else
    grep -qE "\"$key\"" "$root/src/common/Settings.cpp" || bad "the documents name the settings key $key, which the program does not read"
  fi
done
if grep -n '\[Startup Setting\]' "$root/README.md" "$root/docs/guide/index.html" "$root"/docs/man/*.1 "$root"/docs/man/ja/*.1; then
  bad "the documents say [Startup Setting]; the settings file spells it [Startup%20Setting]"
fi

# One version: the project's, the newest release of the metadata, the changelog, the pages.
version=$(sed -nE 's/^project\(Qarno VERSION ([0-9.]+).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || bad "no project version"
grep -q "<release version=\"$version\"" "$pkg/$id.metainfo.xml" || bad "metainfo has no release $version"
head -1 "$pkg/debian/changelog" | grep -q "^qarno ($version) " || bad "debian/changelog does not start with $version"
for page in "$root"/docs/man/*.1 "$root"/docs/man/ja/*.1; do
  grep -q "^\.TH .* \"Qarno $version\"" "$page" || bad "$page is not for Qarno $version"
done

# Manual pages without a warning of man or groff, at a narrow and a wide terminal. The
# Japanese ones also as a Japanese user reads them: under ja_JP.UTF-8, built into a folder of
# this test's own when the system lacks it.
for page in "$root"/docs/man/*.1; do
  out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null) || bad "man $page"
  [ -z "$out" ] || { echo "$out"; bad "warnings in $page"; }
done
ja=(env LC_ALL=ja_JP.UTF-8)
if ! LC_ALL=ja_JP.UTF-8 locale 2>&1 | grep -q "Cannot set"; then :
elif command -v localedef >/dev/null && mkdir -p "$tmp/locale" && localedef -i ja_JP -f UTF-8 "$tmp/locale/ja_JP.UTF-8" >/dev/null 2>&1; then
  ja=(env LOCPATH="$tmp/locale" LC_ALL=ja_JP.UTF-8)
else
  ja=()
  echo "no ja_JP.UTF-8 locale and none can be built: Japanese pages checked with groff alone"
fi
for page in "$root"/docs/man/ja/*.1; do
  out=$(preconv -e UTF-8 "$page" | groff -mja -man -Tutf8 -ww -z 2>&1)
  if [ ${#ja[@]} -gt 0 ]; then
    for width in 60 80 120; do
      out+=$("${ja[@]}" MANWIDTH=$width man --warnings -l "$page" 2>&1 >/dev/null)
    done
  fi
  [ -z "$out" ] || { echo "$out" | sort -u; bad "warnings in $page"; }
done

# The build folder has the installed shape: the built Qarno gives a new program folder the
# shipped type list, as the installed one does.
status=0
QARNO_HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" DBUS_SESSION_BUS_ADDRESS= \
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/Qarno" nosuchset /B2 >/dev/null 2>&1 || status=$?
[ "$status" = 3 ] || bad "the built Qarno ended with status $status for a set that is not there"
[ -f "$bin/../share/qarno/Qarno.nct" ] && cmp -s "$tmp/home/Qarno.nct" "$bin/../share/qarno/Qarno.nct" ||
  bad "the built Qarno did not start its program folder with the shipped type list"
grep -q '"jpg"' "$tmp/home/Qarno.nct" 2>/dev/null || bad "the shipped type list has no jpg"

# The units, as systemd reads them, with ExecStart pointing at the built program; also an
# instance whose set name has a blank. systemd-analyze needs a runtime directory of its own.
if command -v systemd-analyze >/dev/null; then
  export XDG_RUNTIME_DIR="$tmp/run"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  mkdir "$tmp/units"
  for unit in $units; do
    sed "s|^ExecStart=/usr/bin/|ExecStart=$bin/|" "$unit" >"$tmp/units/$(basename "$unit")"
  done
  for unit in qarno@ qarno-status@; do
    [ -f "$tmp/units/$unit.service" ] && [ -f "$tmp/units/$unit.timer" ] || { bad "no $unit.service and $unit.timer"; continue; }
    cp "$tmp/units/$unit.service" "$tmp/units/${unit}my\\x20set.service"
    cp "$tmp/units/$unit.timer" "$tmp/units/${unit}my\\x20set.timer"
  done
  # The example is bound to a drive's mount unit, which exists only while the drive is in: a
  # stand-in with the name the example's comment derives from the mount point.
  mount_unit=$(systemd-escape --path --suffix=mount /media/me/BACKUP)
  grep -qs "^BindsTo=$mount_unit$" "$tmp/units/qarno-usb-backup.service" && grep -q "^WantedBy=$mount_unit$" "$tmp/units/qarno-usb-backup.service" ||
    bad "the example unit is not bound to $mount_unit"
  printf '[Mount]\nWhat=/dev/disk/by-label/BACKUP\nWhere=/media/me/BACKUP\n' >"$tmp/units/$mount_unit"
  if systemd-analyze verify --user --man=no "$tmp"/units/*.service "$tmp"/units/*.timer >"$tmp/verify.txt" 2>&1; then
    # An unknown key or a setting systemd ignores is only a warning to it, and a fault here.
    if [ -s "$tmp/verify.txt" ]; then cat "$tmp/verify.txt"; bad "systemd-analyze verify warned"
    else echo "systemd-analyze verify: the units load"; fi
  elif grep -q "Failed to initialize manager" "$tmp/verify.txt"; then
    echo "systemd-analyze cannot run here ($(head -1 "$tmp/verify.txt")): units not verified"
  else
    cat "$tmp/verify.txt"
    bad "systemd-analyze verify"
  fi
else
  echo "systemd-analyze is not installed: units not verified"
fi

[ "$fail" = 0 ] && echo "desktop files: all checks passed"
exit "$fail"
