#!/usr/bin/env bash
# The files that make Qarno a desktop program, checked as the desktop and the distribution
# read them: the desktop entry (desktop-file-validate), the AppStream metadata (appstreamcli),
# the systemd user units (systemd-analyze verify, against the built Qarno), the manual pages
# (man and groff warnings), and one version everywhere (project, metadata, changelog, pages).
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

for tool in desktop-file-validate appstreamcli man groff; do
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

# One version: the project's, the newest release of the metadata, the changelog, the pages.
version=$(sed -nE 's/^project\(Qarno VERSION ([0-9.]+).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || bad "no project version"
grep -q "<release version=\"$version\"" "$pkg/$id.metainfo.xml" || bad "metainfo has no release $version"
head -1 "$pkg/debian/changelog" | grep -q "^qarno ($version) " || bad "debian/changelog does not start with $version"
for page in "$root"/docs/man/*.1 "$root"/docs/man/ja/*.1; do
  grep -q "^\.TH .* \"Qarno $version\"" "$page" || bad "$page is not for Qarno $version"
done

# Manual pages without a warning of man or groff. Japanese text cannot always be justified
# on a terminal: those two layout notes are not faults.
for page in "$root"/docs/man/*.1; do
  out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null) || bad "man $page"
  [ -z "$out" ] || { echo "$out"; bad "warnings in $page"; }
done
for page in "$root"/docs/man/ja/*.1; do
  out=$(preconv -e UTF-8 "$page" | groff -mja -man -Tutf8 -ww -z 2>&1 | grep -vE "cannot adjust line|can't break line" || true)
  [ -z "$out" ] || { echo "$out"; bad "warnings in $page"; }
done

# The units, as systemd reads them, with ExecStart pointing at the built program; also an
# instance whose set name has a blank. systemd-analyze needs a runtime directory of its own.
if command -v systemd-analyze >/dev/null; then
  export XDG_RUNTIME_DIR="$tmp/run"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  mkdir "$tmp/units"
  sed "s|^ExecStart=/usr/bin/Qarno |ExecStart=$bin/Qarno |" "$pkg/systemd/qarno@.service" >"$tmp/units/qarno@.service"
  cp "$pkg/systemd/qarno@.timer" "$tmp/units/"
  cp "$tmp/units/qarno@.service" "$tmp/units/qarno@my\\x20set.service"
  cp "$tmp/units/qarno@.timer" "$tmp/units/qarno@my\\x20set.timer"
  if systemd-analyze verify --user --man=no "$tmp/units/qarno@.service" "$tmp/units/qarno@.timer" \
       "$tmp/units/qarno@my\\x20set.service" "$tmp/units/qarno@my\\x20set.timer" >"$tmp/verify.txt" 2>&1; then
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
