#!/usr/bin/env bash
# Cross-builds the libraries the Windows program links statically, from
# Debian's source packages: libjpeg-turbo (pictures) and zlib (the unzip
# stand-in). Idempotent: a library already installed under build/third-party
# is kept.
#
# With the argument "fuzz" it builds instead a native libjpeg-turbo with
# clang, the fuzzer's coverage and the address sanitizer, for the fuzz tree;
# with "bench", two native ones, with and without SIMD, for benchmarks.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
top="$repo/build/third-party"
toolchain="$repo/cmake/mingw-i686.cmake"
mkdir -p "$top/src"

# fetch <source package> <directory glob>: unpacks the package once. When
# the newest version cannot be downloaded (a security update the mirror no
# longer carries), the other versions the sources list are tried in turn.
fetch() {
  local pkg=$1 pattern=$2
  local dir version
  dir=$(find "$top/src" -maxdepth 1 -type d -name "$pattern" | head -n 1)
  if [ -z "$dir" ]; then
    if ! (cd "$top/src" && apt-get source -q "$pkg" >/dev/null 2>&1); then
      for version in $(apt-cache showsrc "$pkg" 2>/dev/null | sed -n 's/^Version: //p' | sort -urV); do
        (cd "$top/src" && apt-get source -q "$pkg=$version" >/dev/null 2>&1) && break
      done
    fi
    dir=$(find "$top/src" -maxdepth 1 -type d -name "$pattern" | head -n 1)
    [ -n "$dir" ] || { echo "build-third-party: apt-get source $pkg failed" >&2; exit 1; }
  fi
  echo "$dir"
}

if [ "${1:-}" = bench ]; then
  # Two native builds from the same source, optimised alike, one with its
  # SIMD code and one without, for the picture benchmarks' before and after.
  for simd in ON OFF; do
    dir="$top/libjpeg-native-simd-$simd"
    [ -f "$dir/lib/libjpeg.a" ] && continue
    src=$(fetch libjpeg-turbo 'libjpeg-turbo-*')
    cmake -S "$src" -B "$dir-build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$dir" \
      -DCMAKE_INSTALL_DEFAULT_LIBDIR=lib -DENABLE_SHARED=OFF -DWITH_SIMD=$simd -DREQUIRE_SIMD=$simd \
      -DWITH_TURBOJPEG=OFF >"$dir.log" 2>&1 \
      && cmake --build "$dir-build" -j2 --target install >>"$dir.log" 2>&1 \
      || { echo "build-third-party: native libjpeg-turbo failed, see $dir.log" >&2; exit 1; }
  done
  echo "third-party: native libjpeg-turbo with and without SIMD ready"
  exit 0
fi

if [ "${1:-}" = fuzz ]; then
  # No undefined-behaviour checks inside the library: its own faults are not
  # ours to stop on, while our code that calls it keeps every check.
  if [ ! -f "$top/libjpeg-fuzz/lib/libjpeg.a" ]; then
    src=$(fetch libjpeg-turbo 'libjpeg-turbo-*')
    flags="-g -O1 -fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer"
    CC=clang cmake -S "$src" -B "$top/libjpeg-fuzz-build" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_C_FLAGS_RELEASE="$flags" -DCMAKE_INSTALL_PREFIX="$top/libjpeg-fuzz" \
      -DCMAKE_INSTALL_DEFAULT_LIBDIR=lib -DENABLE_SHARED=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
      >"$top/libjpeg-fuzz.log" 2>&1
    cmake --build "$top/libjpeg-fuzz-build" -j2 --target install >>"$top/libjpeg-fuzz.log" 2>&1 \
      || { echo "build-third-party: fuzz libjpeg-turbo failed, see $top/libjpeg-fuzz.log" >&2; exit 1; }
  fi
  echo "third-party: fuzz libjpeg-turbo ready"
  exit 0
fi

# The program's library is built with its SIMD code (nasm). One built
# without it, by an earlier version of this script, lacks the marker and is
# built again; the marker is written last, when the install is complete.
jpeg="$top/libjpeg-win32"
if [ ! -f "$jpeg/lib/libjpeg.a" ] || [ ! -f "$jpeg/simd" ]; then
  rm -rf "$jpeg" "$top/libjpeg-win32-build"
  src=$(fetch libjpeg-turbo 'libjpeg-turbo-*')
  cmake -S "$src" -B "$top/libjpeg-win32-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$jpeg" \
    -DENABLE_SHARED=OFF -DWITH_SIMD=ON -DREQUIRE_SIMD=ON -DWITH_TURBOJPEG=OFF \
    -DCMAKE_CROSSCOMPILING_EMULATOR= \
    >"$top/libjpeg-win32.log" 2>&1 \
    || { echo "build-third-party: libjpeg-turbo configure failed, see $top/libjpeg-win32.log" >&2; exit 1; }
  cmake --build "$top/libjpeg-win32-build" -j2 --target install >>"$top/libjpeg-win32.log" 2>&1 \
    || { echo "build-third-party: libjpeg-turbo failed, see $top/libjpeg-win32.log" >&2; exit 1; }
  echo "built with SIMD" >"$jpeg/simd"
fi
echo "third-party: libjpeg-turbo ready"

# zlib: only the static library is built; the shared one wants a resource
# file that Debian's repacked source leaves out. Installed by hand as libz.a
# with zlib.h and the zconf.h the configure step generates.
if [ ! -f "$top/zlib-win32/lib/libz.a" ]; then
  src=$(fetch zlib 'zlib-*')
  cmake -S "$src" -B "$top/zlib-win32-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CROSSCOMPILING_EMULATOR= \
    >"$top/zlib-win32.log" 2>&1
  cmake --build "$top/zlib-win32-build" -j2 --target zlibstatic >>"$top/zlib-win32.log" 2>&1 \
    || { echo "build-third-party: zlib failed, see $top/zlib-win32.log" >&2; exit 1; }
  mkdir -p "$top/zlib-win32/lib" "$top/zlib-win32/include"
  cp "$src/zlib.h" "$top/zlib-win32-build/zconf.h" "$top/zlib-win32/include/"
  # The library goes in last: it is what marks the install as complete.
  cp "$top/zlib-win32-build/libzlibstatic.a" "$top/zlib-win32/lib/libz.a.tmp"
  mv "$top/zlib-win32/lib/libz.a.tmp" "$top/zlib-win32/lib/libz.a"
fi
echo "third-party: zlib ready"
