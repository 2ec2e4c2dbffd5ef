#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The archiver for Windows: cross-builds UNLHA32.DLL and its tests with MinGW-w64 into build-win-unlha/,
# runs the tests under Wine (in a Wine prefix of that build tree, without a display), then checks archives
# in both directions, byte for byte and with their last-write times:
#   packed by the DLL under Wine  -> unpacked on Linux by lhasa, 7-Zip, bsdtar and libunlha32.so;
#   packed by libunlha32.so       -> unpacked by the DLL under Wine.
# Installs nothing (scripts/install-deps.sh does). Exits non-zero on any failure. Without a usable Wine
# the stage fails, unless QARNO_SKIP_WINE=1, which turns that into a SKIP notice.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${QARNO_WIN_UNLHA_BUILD_DIR:-$root/build-win-unlha}"
started=$(date +%s)

fail() { echo "test-windows-unlha: $*" >&2; exit 1; }
wine_unusable() {
  if [ "${QARNO_SKIP_WINE:-}" = 1 ]; then
    echo "SKIP: the archiver for Windows is not tested: $* (QARNO_SKIP_WINE=1)"
    exit 0
  fi
  fail "$* (scripts/install-deps.sh installs Wine; QARNO_SKIP_WINE=1 skips this stage)"
}

command -v x86_64-w64-mingw32-g++-posix >/dev/null || command -v x86_64-w64-mingw32-g++ >/dev/null \
  || fail "no MinGW-w64 compiler (package g++-mingw-w64-x86-64-posix)"
for tool in lhasa 7z bsdtar flock; do
  command -v "$tool" >/dev/null || fail "$tool is missing"
done
# QARNO_WINE names another Wine loader.
wine=${QARNO_WINE:-$(command -v wine64 || true)}
[ -n "$wine" ] || { [ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64; } || true
[ -n "$wine" ] || wine=$(command -v wine || true)
[ -n "$wine" ] && [ -x "$wine" ] || wine_unusable "Wine is not installed"
wineserver=$(dirname "$(readlink -f "$wine")")/wineserver
[ -x "$wineserver" ] || wineserver=wineserver

generator=()
command -v ninja >/dev/null && generator=(-G Ninja)

echo "-- cross build (MinGW-w64) in $build"
cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DQARNO_ONLY_UNLHA=ON -DCMAKE_BUILD_TYPE=Release -DQARNO_WINE="$wine" >/dev/null
cmake --build "$build" -j "$(nproc)"
echo "-- Linux side (libunlha32.so) in $build/linux"
cmake -S "$root" -B "$build/linux" "${generator[@]}" -DQARNO_ONLY_UNLHA=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/linux" -j "$(nproc)" --target unlha_cli
built=$(date +%s)

# Wine: a prefix of the build tree, no display, no Mono/Gecko installers, file names in UTF-8.
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
export HOME="${HOME:-$build}"
stop_wine() { "$wineserver" -k >/dev/null 2>&1 || true; }
trap stop_wine EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "-- initialising the Wine prefix $WINEPREFIX"
  timeout 300 "$wine" wineboot -i </dev/null >"$build/wineboot.log" 2>&1 || {
    tail -20 "$build/wineboot.log" >&2
    wine_unusable "wineboot failed"
  }
  "$wineserver" -w
fi
# One server and Wine's own background processes for the whole stage, started apart from any output pipe.
"$wineserver" -p </dev/null >/dev/null 2>&1 || true
"$wine" wineboot </dev/null >/dev/null 2>&1 || true
probe=0
timeout 60 "$wine" "$build/bin/unlha_cli.exe" </dev/null >/dev/null 2>&1 || probe=$?
[ "$probe" -eq 64 ] || wine_unusable "Wine does not run a test program (exit status $probe, expected 64)"
booted=$(date +%s)

status=0
echo "-- the Windows tests under Wine (ctest)"
# Now and then a test process under Wine ends at once without a line of output (0.01 s, not
# started at all; seen once in many runs, never again on rerun): such a test is run once
# more. A test that fails twice fails the stage.
(cd "$build" && ctest -j "$(nproc)" --output-on-failure --timeout 300 --repeat until-pass:2) || status=1
tested=$(date +%s)

echo "-- archives across Windows and Linux"
work="$build/interop"
rm -rf "$work"
mkdir -p "$work/src"
cd "$work"
linux_cli="$build/linux/bin/unlha_cli"
win_cli="$build/bin/unlha_cli.exe"
stamp=1420113845   # 2015-01-01 12:04:05 UTC
checks=0
failures=0
check() {   # check DESCRIPTION COMMAND...: counts, and reports a failure without stopping
  checks=$((checks + 1))
  if ! "${@:2}"; then
    failures=$((failures + 1))
    echo "FAILED: $1" >&2
  fi
}
same_file() { cmp -s "$1" "$2"; }
same_mtime() { [ "$(stat -c %Y "$1")" = "$stamp" ]; }
not_writable() { [ $(( 0$(stat -c %a "$1") & 0222 )) -eq 0 ]; }
pack_line() { printf 'a -n -a1 -jss -jyko -gm1 "%s" "%s"' "$1" "$2"; }
extract_line() { printf 'e -n -a1 -jss -jyko -f1 -c1 -m1 -gm1 "%s" "%s"' "$1" "$2"; }
run_win() { "$wine" "$win_cli" "$@" </dev/null >>"$work/wine.log" 2>&1; }
run_linux() { "$linux_cli" "$@" >>"$work/linux.log" 2>&1; }
stored_name() { "$linux_cli" --header "$1" | sed -n 's/^name=\([0-9a-f]*\) .*/\1/p'; }
hex() { od -An -tx1 -v | tr -d ' \n'; }
only_file() { find "$1" -type f | head -2; }

# Samples: text, binary, incompressible, empty, one byte, a Japanese name with a 0x5C trail byte in
# Shift-JIS, names outside Shift-JIS, and a name whose level-2 header lands on 256 bytes.
seq 1 60000 | sed 's/$/ the archive holds one file and its date/' > src/text.txt
head -c 1500000 "$(command -v cmake)" > src/data.bin
head -c 200000 /dev/urandom > src/random.bin
: > src/empty.txt
printf 'Z' > src/one.bin
printf '日本語の表示\r\n%.0s' $(seq 1 3000) > src/日本語表.txt
cp src/text.txt "src/café 😀.txt"
long=$(printf 'L%.0s' $(seq 1 213)).txt
cp src/one.bin "src/$long"
names=(text.txt data.bin random.bin empty.txt one.bin 日本語表.txt "café 😀.txt" "$long")
for n in "${names[@]}"; do touch -d "@$stamp" "src/$n"; done
expected_name() {   # the stored bytes: Shift-JIS when it holds the name, else the UTF-8 name itself
  local bytes
  if bytes=$(printf '%s' "$1" | iconv -f UTF-8 -t CP932 2>/dev/null | hex); then
    echo "$bytes"
  else
    printf '%s' "$1" | hex
  fi
}
packed_data() {   # what follows the first header: the compressed data and the end mark
  local size
  size=$("$linux_cli" --header "$1" | sed 's/.* size=\([0-9]*\).*/\1/')
  tail -c +"$((size + 1))" "$1"
}

mkdir -p win linux
for i in "${!names[@]}"; do
  n=${names[$i]}
  # Windows packs, in every method.
  for m in 5 6 7; do
    arc="win/$i-lh$m.LZH"
    check "DLL packs $n (-lh$m-)" run_win --method "$m" "$(pack_line "$arc" "src/$n")"
    [ -f "$arc" ] || continue
    check "stored name of $n" [ "$(stored_name "$arc")" = "$(expected_name "$n")" ]
    out="x-$i-$m"
    mkdir -p "$out/lhasa" "$out/7z" "$out/bsdtar"
    check "lhasa tests $arc" lhasa t "$arc" >/dev/null
    (cd "$out/lhasa" && lhasa -xfq "../../$arc") || true
    f=$(only_file "$out/lhasa")
    check "lhasa extracts $n from $arc" same_file "$f" "src/$n"
    check "lhasa keeps the time of $n" same_mtime "$f"
    check "7-Zip tests $arc" 7z t "$arc" >/dev/null
    7z x -y -o"$out/7z" "$arc" >/dev/null || true
    f=$(only_file "$out/7z")
    check "7-Zip extracts $n from $arc" same_file "$f" "src/$n"
    check "7-Zip keeps the time of $n" same_mtime "$f"
    # bsdtar must be told about Shift-JIS names, and then refuses names that are not Shift-JIS.
    charset=()
    printf '%s' "$n" | iconv -f UTF-8 -t CP932 >/dev/null 2>&1 && charset=(--options lha:hdrcharset=CP932)
    bsdtar "${charset[@]}" -xf "$arc" -C "$out/bsdtar" 2>/dev/null || true
    f=$(only_file "$out/bsdtar")
    check "bsdtar extracts $n from $arc" same_file "$f" "src/$n"
    check "libunlha32.so extracts $n from $arc" run_linux "$(extract_line "$arc" "$out/linux.out")"
    check "... byte for byte" same_file "$out/linux.out" "src/$n"
    check "... with its time" same_mtime "$out/linux.out"
  done
  # Linux packs, Windows unpacks.
  arc="linux/$i.LZH"
  check "libunlha32.so packs $n" run_linux "$(pack_line "$arc" "src/$n")"
  check "both sides store the same name for $n" [ "$(stored_name "$arc")" = "$(stored_name "win/$i-lh5.LZH")" ]
  check "DLL extracts $n" run_win "$(extract_line "$arc" "linux/$i.out")"
  check "... byte for byte" same_file "linux/$i.out" "src/$n"
  check "... with its time" same_mtime "linux/$i.out"
  # Both libraries make the same compressed data: only the headers may differ.
  check "same packed data for $n on both sides" cmp -s <(packed_data "$arc") <(packed_data "win/$i-lh5.LZH")
done

# Read-only files: Linux's permissions become the read-only attribute on Windows (Wine shows it as missing
# write bits), and the DLL stores the attribute itself.
cp src/text.txt src/ro.txt && touch -d "@$stamp" src/ro.txt && chmod 0444 src/ro.txt
check "libunlha32.so packs a read-only file" run_linux "$(pack_line linux/ro.LZH src/ro.txt)"
check "DLL extracts it" run_win "$(extract_line linux/ro.LZH linux/ro.out)"
check "... read-only" not_writable linux/ro.out
check "... with its time" same_mtime linux/ro.out
check "DLL packs a read-only file" run_win "$(pack_line win/ro.LZH src/ro.txt)"
check "... storing the read-only attribute and no Unix mode" grep -q ' os=W mode=- attributes=21 ' <("$linux_cli" --header win/ro.LZH)
check "DLL extracts its own archive read-only" run_win "$(extract_line win/ro.LZH win/ro.out)"
check "... read-only" not_writable win/ro.out

# The program's own way: a full source path in the ANSI code page (932, with the locale the build compiled
# for the code page 932 tests), not in UTF-8.
locale_dir="$build/tests/unlha/locale"
source_path=$(winepath -w "$work/src/日本語表.txt" 2>/dev/null || echo "src/日本語表.txt")
check "DLL packs with a code page 932 command line" env LOCPATH="$locale_dir" LC_ALL=ja_JP.UTF-8 \
  "$wine" "$win_cli" --ansi "$(pack_line "win/ansi.LZH" "$source_path")" </dev/null >>"$work/wine.log" 2>&1
check "... storing Shift-JIS" [ "$(stored_name win/ansi.LZH 2>/dev/null)" = "$(expected_name 日本語表.txt)" ]

cd "$root"
finished=$(date +%s)
echo "interop: $((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ] || { status=1; echo "see $work/wine.log and $work/linux.log" >&2; }
echo "test-windows-unlha: build $((built - started)) s, Wine start $((booted - built)) s, tests under Wine $((tested - booted)) s, interop $((finished - tested)) s, total $((finished - started)) s"
exit "$status"
