#!/usr/bin/env bash
# Makes the demo's zipped ROM sets (zips/) and separate driver files
# (drivers/). The results are committed; run this only to remake them.
set -euo pipefail
cd "$(dirname "$0")"
rm -rf zips drivers && mkdir zips drivers
# game -> ROM files, as reqfiles.dat lists them
while IFS= read -r line; do
  line=${line%$'\r'}
  game=${line%%\\*}; file=${line#*\\}
  case " rtypeus rtypejp dbreed hharry nspirit scourier " in
    *" $game "*) mkdir -p "zips/.$game"; printf 'demo ROM image %s/%s\r\n' "$game" "$file" > "zips/.$game/$file" ;;
  esac
done < reqfiles.dat
for dir in zips/.*/; do
  game=$(basename "$dir"); game=${game#.}
  (cd "$dir" && zip -q -X "../$game.zip" ./*)
  rm -rf "$dir"
done
for game in rtypejp dbreed hharry nspirit ppong rtype2; do
  printf 'demo driver %s\r\n' "$game" > "drivers/$game.qun"
done
