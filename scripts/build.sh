#!/usr/bin/env bash
# Builds both trees from scratch or incrementally:
#   build/native  host g++, Debug, address and undefined-behaviour sanitizers
#   build/win32   i686 mingw-w64 cross build, Release (the product and its tools)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/setup.sh
# The static libraries the Windows program links (libjpeg-turbo).
bash scripts/build-third-party.sh

t0=$SECONDS
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DQN_SANITIZE=ON
cmake --build build/native -j2

cmake -S . -B build/win32 -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
cmake --build build/win32 -j2
echo "build: native and win32 trees up to date ($((SECONDS - t0)) s)"
