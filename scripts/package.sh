#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package of Qarno: scripts/package.sh [OUTDIR]
#
# A release build of the programs alone (no tests) in build-package/, with Debian's hardening
# flags, packed by CPack into OUTDIR/qarno_<version>_<arch>.deb (OUTDIR defaults to
# build-package/), then checked with lintian: an error fails the script, warnings are printed
# (the README explains each one that remains). Install the result with
#   apt-get install ./build-package/qarno_*.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
build="$root/build-package"
out=$(mkdir -p "${1:-$build}" && cd "${1:-$build}" && pwd)

# Debian's flags: optimisation, fortified functions, stack protector, read-only relocations.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cflags=$(dpkg-buildflags --get CFLAGS)
cxxflags=$(dpkg-buildflags --get CXXFLAGS)
cppflags=$(dpkg-buildflags --get CPPFLAGS)
ldflags=$(dpkg-buildflags --get LDFLAGS)

bash scripts/build.sh "$build" -DCMAKE_BUILD_TYPE=Release -DQARNO_BUILD_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr \
  "-DCMAKE_C_FLAGS_RELEASE=$cflags $cppflags -DNDEBUG" \
  "-DCMAKE_CXX_FLAGS_RELEASE=$cxxflags $cppflags -DNDEBUG" \
  "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" "-DCMAKE_SHARED_LINKER_FLAGS=$ldflags" \
  "-DCMAKE_MODULE_LINKER_FLAGS=$ldflags"

rm -f "$build"/qarno_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/qarno_*.deb)
if [ "$out" != "$build" ]; then
  rm -f "$out"/qarno_*.deb
  mv "$deb" "$out/"
  deb="$out/$(basename "$deb")"
fi
echo "package: $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends Recommends

echo "== lintian"
# Errors fail; warnings and the rest are shown. The README says why each remaining warning stays.
lintian --fail-on error --display-level '>=warning' --info "$deb" || { echo "lintian found errors" >&2; exit 1; }
echo "lintian: no errors"
