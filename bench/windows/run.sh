#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The windows' benchmarks: builds the program (Release) and this folder's benchmarks against
# it, then runs every *_bench executable on Qt's offscreen platform, each with the arguments
# given here (e.g. the number of runs).
# Usage: bench/windows/run.sh [RUNS]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="$root/build-bench"
benches="$build/windows"

bash "$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DQARNO_BUILD_TESTS=OFF >/dev/null
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
cmake -S "$here" -B "$benches" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DQARNO_BUILD_DIR="$build" >/dev/null
cmake --build "$benches" -j2 >/dev/null

export QT_QPA_PLATFORM=offscreen
status=0
shopt -s nullglob
for source in "$here"/*_bench.cpp; do
  name=$(basename "$source" .cpp)
  echo "--- $name"
  "$benches/$name" "$@" || { echo "--- $name: FAILED (status $?)"; status=1; }
done
exit "$status"
