#!/usr/bin/env bash
# Draws the demo's pictures (screenshots, logos, placeholder) with
# ImageMagick. The JPEGs are committed; run this only to remake them.
set -euo pipefail
cd "$(dirname "$0")/screens"
im=/usr/bin/convert
font=/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf

shot() {  # shortname title width height colour1 colour2
  "$im" -size "$3x$4" "gradient:$5-$6" \
    -fill '#ffffff40' -draw "circle $(( $3 / 2 )),$(( $4 / 2 )) $(( $3 / 2 + $4 / 4 )),$(( $4 / 2 ))" \
    -fill white -stroke black -strokewidth 1 -font "$font" -pointsize 22 \
    -gravity center -annotate +0-10 "$2" \
    -stroke none -fill yellow -pointsize 12 -gravity south -annotate +0+8 "INSERT COIN" \
    -quality 85 "$1.jpg"
}
shot rtypeus  "Radiant Type (US)"      320 224 navy black
shot rtypejp  "Radiant Type (Japan)"   320 224 midnightblue black
shot rtype2   "Radiant Type II"        320 224 darkslateblue black
shot loht     "Legend of Hollow Tower" 320 224 darkgreen black
shot hharry   "Hard Hat Harold"        320 224 sienna black
shot imgfight "Imagine Flight"         224 240 purple black
shot nspirit  "Night Spirit"           320 224 darkred black
shot bmaster  "Blade Master Duel"      288 224 maroon black
shot inthunt  "Inner Hunt"             320 224 teal black
shot gunforce "Gun Fortress"           400 260 darkolivegreen black
shot ppong    "Pixel Pong Deluxe"      256 224 gray20 black
shot moonmole "Moon Mole"              320 224 slategray black

logo() {  # file subtitle colour
  "$im" -size 340x200 "gradient:$3-white" \
    -fill '#00000030' -draw 'roundrectangle 14,14 326,186 18,18' \
    -fill white -stroke '#202020' -strokewidth 2 -font "$font" -pointsize 44 \
    -gravity north -annotate +0+40 'QnLaunch' \
    -stroke none -fill '#202020' -pointsize 16 -annotate +0+104 "$2" \
    -quality 90 "$1"
}
logo tolvane1.jpg "a front end for the QUON emulator" steelblue
logo tolvane2.jpg "left click for the other logo" darkorange

"$im" -size 200x120 xc:gray15 -fill gray70 -font "$font" -pointsize 18 \
  -gravity center -annotate +0-10 'No screenshot' -pointsize 12 -annotate +0+16 'for this game' \
  -quality 85 noscreen.jpg
