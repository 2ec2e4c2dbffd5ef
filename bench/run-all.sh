#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every benchmark present (bench/*/run.sh), one after the other, each with the same
# arguments; a failing benchmark does not stop the others. Exit status 1 when any failed.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
failed=()
shopt -s nullglob
for script in "$here"/*/run.sh; do
  name=$(basename "$(dirname "$script")")
  echo "=== bench/$name"
  if bash "$script" "$@"; then
    echo "=== bench/$name: done"
  else
    echo "=== bench/$name: FAILED (status $?)"
    failed+=("$name")
  fi
  echo
done
if ((${#failed[@]})); then
  echo "failed: ${failed[*]}"
  exit 1
fi
