#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that every text of the programs has its translation: lupdate run over the current
# sources into a copy of each .ts file finds no text the file lacks, and lrelease finds no
# translation unfinished. So a new text without its English fails here, not in front of a user.
#
#   check-translations.sh LUPDATE LRELEASE TS SOURCES-LIST [TS SOURCES-LIST]... -- LUPDATE-OPTIONS...
#
# A SOURCES-LIST names the files lupdate reads for that .ts, one a line. Prints what is
# missing and exits 1.
set -euo pipefail
lupdate=${1:?usage: check-translations.sh LUPDATE LRELEASE TS LIST... -- OPTIONS...}
lrelease=${2:?}
shift 2
pairs=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  pairs+=("$1")
  shift
done
[ $# -gt 0 ] && shift
options=("$@")
[ $((${#pairs[@]} % 2)) = 0 ] && [ ${#pairs[@]} -gt 0 ] || { echo "a .ts file without its sources list"; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for ((i = 0; i < ${#pairs[@]}; i += 2)); do
  ts=${pairs[i]}
  list=${pairs[i + 1]}
  copy="$work/$(basename "$ts")"
  cp "$ts" "$copy"
  mapfile -t sources < "$list"
  "$lupdate" "${options[@]}" "${sources[@]}" -ts "$copy" > "$work/lupdate.out" 2>&1 ||
    { cat "$work/lupdate.out"; echo "lupdate failed on $(basename "$ts")"; status=1; continue; }
  report=$("$lrelease" "$copy" -qm "$work/out.qm" 2>&1) ||
    { echo "$report"; echo "lrelease failed on $(basename "$ts")"; status=1; continue; }
  if ! grep -qE ' 0 unfinished\)' <<< "$report" || grep -q 'untranslated' <<< "$report"; then
    echo "$(basename "$ts"): texts without their translation (run the update_translations target, then translate them):"
    grep -B3 'type="unfinished"' "$copy" | grep -E '<name>|<source>' | sed 's/^ */  /' || true
    echo "$report"
    status=1
  fi
done
[ "$status" = 0 ] && echo "every text has its translation"
exit "$status"
