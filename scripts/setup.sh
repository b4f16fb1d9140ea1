#!/usr/bin/env bash
# Installs everything the build and the tests need from Debian's packages.
# Idempotent: a second run only checks. Must run as root on Debian 12.
set -euo pipefail

need_pkgs=(
  cmake make g++ pkg-config
  mingw-w64
  wine wine64 wine32:i386
  xvfb xdotool x11-utils imagemagick zip unzip
  fonts-wine fonts-liberation
  googletest libgtest-dev libbenchmark-dev libjpeg-dev zlib1g-dev
  # clang recommends its sanitizer and libFuzzer runtimes but does not pull them in
  clang libclang-rt-14-dev
  dpkg-dev
  # libjpeg-turbo's SIMD code for the Windows program is assembled with nasm
  nasm
)

have_all() {
  for p in "${need_pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || return 1
  done
}

add_source_entries() {
  # apt-get source needs deb-src entries; derive them from the machine's own
  # Debian sources rather than naming any host here.
  local out=/etc/apt/sources.list.d/qnlaunch-deb-src.sources
  [ -f "$out" ] && return 1
  local src=/etc/apt/sources.list.d/debian.sources
  if [ -f "$src" ]; then
    sed -n 's/^Types:.*/Types: deb-src/; p' "$src" > "$out"
  elif [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' \
      > /etc/apt/sources.list.d/qnlaunch-deb-src.list
  fi
  return 0
}

changed=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  changed=1
fi
add_source_entries && changed=1

if [ "$changed" = 1 ] || ! have_all; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${need_pkgs[@]}"
fi
echo "setup: all packages present"
