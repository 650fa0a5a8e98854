#!/usr/bin/env bash
# Draws the window's own artwork with ImageMagick: the logo (a JPEG, shown
# stretched in the white panel) and the strip of 16 x 16 button pictures (magenta
# is see-through). The results are committed; run this only to change them.
set -euo pipefail
cd "$(dirname "$0")"
navy='#000080' maroon='#800000' key='#FF00FF'

convert -size 218x138 xc:white \
  -fill '#2a3f9e' -draw "polygon 24,40 54,20 124,20 94,40" \
  -fill "$navy" -draw "rectangle 24,40 94,106" \
  -fill '#1a2a80' -draw "polygon 94,40 124,20 124,86 94,106" \
  -fill "$maroon" -draw "rectangle 53,40 65,106" -draw "polygon 53,40 65,40 95,20 83,20" \
  -fill white -draw "rectangle 56,48 62,50" -draw "rectangle 56,56 62,58" -draw "rectangle 56,64 62,66" \
  -draw "rectangle 56,72 62,74" -draw "rectangle 56,80 62,82" -draw "rectangle 56,88 62,90" \
  -draw "rectangle 56,96 62,98" \
  -fill none -stroke "$maroon" -strokewidth 5 -draw "ellipse 170,58 30,30 200,330" \
  -stroke "$navy" -draw "ellipse 170,58 30,30 20,150" -stroke none \
  -fill "$maroon" -draw "polygon 203,58 207,42 192,47" \
  -fill "$navy" -draw "polygon 137,58 133,74 148,69" \
  -fill "$maroon" -font DejaVu-Sans-Bold -pointsize 20 -annotate +38+131 'Doziruzidive' \
  -strip -quality 90 logo.jpg

# Pack (arrow into the box), load (folder), restore (arrow out of the box), end.
convert -size 64x16 xc:"$key" +antialias \
  -fill "$navy" -draw "rectangle 1,8 14,15" -fill "$key" -draw "rectangle 3,10 12,13" \
  -fill "$maroon" -draw "rectangle 6,0 9,7" -draw "polygon 3,6 12,6 7,11 8,11" \
  -fill '#C09030' -draw "polygon 17,4 22,4 23,6 30,6 30,14 17,14" \
  -fill '#E8C060' -draw "polygon 19,8 31,8 30,14 17,14" \
  -fill none -stroke "$navy" -draw "polygon 17,4 22,4 23,6 30,6 30,14 17,14" -stroke none \
  -fill "$navy" -draw "rectangle 33,8 46,15" -fill "$key" -draw "rectangle 35,10 44,13" \
  -fill "$maroon" -draw "rectangle 38,5 41,11" -draw "polygon 35,5 44,5 40,0 39,0" \
  -stroke "$maroon" -strokewidth 3 -draw "line 51,3 60,12" -draw "line 60,3 51,12" \
  -type TrueColor BMP3:glyphs.bmp
