#!/usr/bin/env bash
# Cross-builds the libraries the Windows program links statically, from
# Debian's source packages: libjpeg-turbo (pictures). Idempotent: a library
# already installed under build/third-party is kept.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
top="$repo/build/third-party"
toolchain="$repo/cmake/mingw-i686.cmake"
mkdir -p "$top/src"

# fetch <source package> <directory glob>: unpacks the package once.
fetch() {
  local pkg=$1 pattern=$2
  local dir
  dir=$(find "$top/src" -maxdepth 1 -type d -name "$pattern" | head -n 1)
  if [ -z "$dir" ]; then
    (cd "$top/src" && apt-get source -q "$pkg" >/dev/null 2>&1) \
      || { echo "build-third-party: apt-get source $pkg failed" >&2; exit 1; }
    dir=$(find "$top/src" -maxdepth 1 -type d -name "$pattern" | head -n 1)
  fi
  echo "$dir"
}

if [ ! -f "$top/libjpeg-win32/lib/libjpeg.a" ]; then
  src=$(fetch libjpeg-turbo 'libjpeg-turbo-*')
  cmake -S "$src" -B "$top/libjpeg-win32-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$top/libjpeg-win32" \
    -DENABLE_SHARED=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF -DCMAKE_CROSSCOMPILING_EMULATOR= \
    >"$top/libjpeg-win32.log" 2>&1
  cmake --build "$top/libjpeg-win32-build" -j2 --target install >>"$top/libjpeg-win32.log" 2>&1 \
    || { echo "build-third-party: libjpeg-turbo failed, see $top/libjpeg-win32.log" >&2; exit 1; }
fi
echo "third-party: libjpeg-turbo ready"
