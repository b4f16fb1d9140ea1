#!/usr/bin/env bash
# Draws app/qnlaunch.ico from app/qnlaunch-icon.mvg with ImageMagick: each
# size drawn from the same drawing at its own scale (no size is a blurred
# copy of another). Run it after changing the drawing and commit both.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sizes=(16 20 24 32 40 48 64 256)
images=()
for s in "${sizes[@]}"; do
    scale=$(awk -v s="$s" 'BEGIN { printf "%.6f", s / 32 }')
    drawing="scale $scale,$scale $(grep -v '^#' "$here/qnlaunch-icon.mvg")"
    convert -size "${s}x${s}" xc:none -draw "$drawing" "PNG32:$work/$s.png"
    images+=("$work/$s.png")
done
convert "${images[@]}" "$here/qnlaunch.ico"
identify "$here/qnlaunch.ico"
