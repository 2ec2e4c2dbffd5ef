#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzzes the LHA archive reader with libFuzzer for SECONDS (default 180).
# Builds in build-unlha-fuzz with clang, AddressSanitizer and UndefinedBehaviorSanitizer, seeds the corpus
# with archives made by the library itself, and exits non-zero when the fuzzer finds a crash.
set -euo pipefail

seconds="${1:-180}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${UNLHA_FUZZ_BUILD_DIR:-$root/build-unlha-fuzz}"

generator=()
if command -v ninja >/dev/null 2>&1; then
  generator=(-G Ninja)
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" "${generator[@]}" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQARNO_ONLY_UNLHA=ON -DQARNO_FUZZ=ON -DQARNO_SANITIZE=ON -DQARNO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target lha_reader_fuzz lha_fuzz_seeds

seeds="$build/fuzz-seeds"
corpus="$build/fuzz-corpus"
artifacts="$build/fuzz-artifacts"
rm -rf "$seeds"
mkdir -p "$seeds" "$corpus" "$artifacts"
"$build/bin/lha_fuzz_seeds" "$seeds"

echo "fuzzing the LHA reader for ${seconds}s"
status=0
"$build/bin/lha_reader_fuzz" \
  -max_total_time="$seconds" -max_len=65536 -timeout=20 -rss_limit_mb=1024 -malloc_limit_mb=256 \
  -print_final_stats=1 -artifact_prefix="$artifacts/" \
  "$corpus" "$seeds" || status=$?

if [ "$status" -ne 0 ]; then
  echo "fuzz-unlha: the fuzzer found a problem (exit $status); reproducers are in $artifacts" >&2
  exit "$status"
fi
echo "fuzz-unlha: no crash in ${seconds}s"
