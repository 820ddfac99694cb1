#!/usr/bin/env bash
# Draws the two icons (a white tooth on a teal tile; the tray icon adds a red
# capture dot) at 16, 20, 24, 32, 40, 48 and 64 pixels (the small and large icon sizes
# from 100 to 200 % display scale) and packs each set into one .ico.
# Needs ImageMagick. The generated files are committed; the build does not run this.
set -euo pipefail
cd "$(dirname "$0")/icons"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

draw() {  # size dot output
  local s=$1 dot=$2 out=$3
  # Tooth outline on a 32-unit grid, scaled to the size.
  local k
  k=$(echo "scale=4; $s/32" | bc)
  local crown="M 7,9 C 7,4 12,4 16,6 C 20,4 25,4 25,9 C 25,14 23,16 22,20 L 21,27 C 20.5,29 19,29 18.5,27 L 17,21 C 16.5,19.5 15.5,19.5 15,21 L 13.5,27 C 13,29 11.5,29 11,27 L 10,20 C 9,16 7,14 7,9 Z"
  local args=(-size "${s}x${s}" xc:none
    -fill '#0f7c80' -draw "roundrectangle 0,0 $((s-1)),$((s-1)) $((s/5)),$((s/5))"
    -fill white -stroke '#08393b' -strokewidth "$(echo "scale=2; $k*1.2" | bc)"
    -draw "scale $k,$k path '$crown'")
  if [ "$dot" = 1 ]; then
    local r=$((s/6 > 2 ? s/6 : 2))
    args+=(-stroke white -strokewidth 1 -fill '#e0302a'
      -draw "circle $((s-r-1)),$((s-r-1)) $((s-1)),$((s-r-1))")
  fi
  convert "${args[@]}" "PNG32:$out"
}

for dot in 0 1; do
  files=()
  for s in 16 20 24 32 40 48 64; do
    draw "$s" "$dot" "$tmp/i$dot-$s.png"
    files+=("$tmp/i$dot-$s.png")
  done
  name=$([ "$dot" = 1 ] && echo tray.ico || echo app.ico)
  convert "${files[@]}" "$name"
done
