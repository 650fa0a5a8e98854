#!/usr/bin/env bash
# Draws the demo theme's background picture again for larger scalings with
# ImageMagick: background@1.5x.jpg and background@2x.jpg, which a page at 144 or
# 192 dpi (and 120, 168) takes instead of enlarging background.jpg. They follow
# background.jpg's design (a blue band of 72 rows with two light circles, a light
# body with a line at row 300, 500 x 380 at 1x). The results are committed; run
# this only to change them.
set -euo pipefail
cd "$(dirname "$0")"

draw() { # scale (in tenths) file
  local s=$1 out=$2
  px() { echo $(( ($1 * s + 5) / 10 )); }
  convert -size "$(px 500)x$(px 72)" gradient:'rgb(29,78,144)-rgb(47,120,197)' \
    -size "$(px 500)x$(( $(px 380) - $(px 72) ))" gradient:'rgb(240,243,248)-rgb(223,231,242)' -append \
    -fill 'rgb(200,212,228)' -draw "rectangle 0,$(px 300) $(px 500),$(( $(px 302) - 1 ))" \
    -fill 'rgba(255,255,255,0.12)' \
    -draw "circle $(px 448),$(px 20) $(px 448),$(px 88)" \
    -draw "circle $(px 400),$(px 60) $(px 400),$(px 100)" \
    -strip -quality 92 "$out"
}
draw 15 background@1.5x.jpg
draw 20 background@2x.jpg
