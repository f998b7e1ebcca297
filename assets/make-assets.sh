#!/bin/bash
# Regenerates the window icon (qx5180.png) and the logo bitmap (logo.bmp)
# next to this script. Needs ImageMagick 6 (convert) and the DejaVu fonts.
# The generated files are kept in the repository, so building the program
# does not need ImageMagick; run this only after changing the artwork.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
fontdir=/usr/share/fonts/truetype/dejavu
bold=$fontdir/DejaVuSans-Bold.ttf
condensed_bold=$fontdir/DejaVuSansCondensed-Bold.ttf
for f in "$bold" "$condensed_bold"; do
    [[ -r $f ]] || { echo "make-assets.sh: font $f not found (install fonts-dejavu-core)" >&2; exit 1; }
done
command -v convert >/dev/null || { echo "make-assets.sh: ImageMagick convert not found" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Points of a circular arc (centre cx,cy, radius r, from -half to +half
# degrees around the rightward direction) as "x,y x,y ..." for a polyline.
# Drawn as a polyline because stroked arc paths come out filled in
# ImageMagick 6.
arc() {
    awk -v cx="$1" -v cy="$2" -v r="$3" -v half="$4" 'BEGIN {
        for (a = -half; a <= half; a += 3) {
            t = a * 3.14159265358979 / 180
            printf "%.2f,%.2f ", cx + r * cos(t), cy + r * sin(t)
        }
    }'
}

# ---------------------------------------------------------------------------
# Window icon: a loudspeaker with two sound arcs on a rounded square.
# Drawn at 8x (256 px) and scaled down so the edges are smooth at 32 px.
# ---------------------------------------------------------------------------
convert -size 256x256 xc:none \
    -fill '#1d3b6e' -stroke '#0b1a33' -strokewidth 8 \
    -draw 'roundrectangle 6,6 249,249 44,44' \
    -stroke none -fill '#2f5a9e' \
    -draw 'roundrectangle 18,18 237,120 34,34' \
    -fill '#f2f5fa' -stroke none \
    -draw 'rectangle 30,100 72,156' \
    -draw 'polygon 72,100 124,52 124,204 72,156' \
    -fill none -stroke '#ffc640' -strokewidth 20 \
    -draw "stroke-linecap round stroke-linejoin round polyline $(arc 108 128 52 45)" \
    -draw "stroke-linecap round stroke-linejoin round polyline $(arc 108 128 94 45)" \
    "$tmp/icon-256.png"

convert "$tmp/icon-256.png" -filter Lanczos -resize 32x32 \
    -strip -define png:exclude-chunks=date,time \
    -colors 256 "PNG8:$here/qx5180.png"

# ---------------------------------------------------------------------------
# Logo: 223 x 72, 24 bits per pixel, on a #8080FF background.
# Name and subtitle on the left, a small level-bar meter on the right,
# framed like a front-panel legend plate.
# ---------------------------------------------------------------------------
navy='#14245a'
light='#e6ebff'
bars=()
x=171
for h in 14 24 34 44 30 20; do
    top=$((60 - h))
    bars+=(-draw "rectangle $x,$top $((x + 5)),59")
    x=$((x + 8))
done

convert -size 223x72 xc:'#8080FF' \
    -fill none -stroke "$navy" -strokewidth 2 \
    -draw 'roundrectangle 3,3 219,68 8,8' \
    -stroke none -fill "$navy" \
    -font "$bold" -pointsize 31 -annotate +12+41 'QX5180' \
    -font "$condensed_bold" -pointsize 9.5 -kerning 1.2 -annotate +13+57 'AUDIO AMPLIFIER' \
    -fill "$light" "${bars[@]}" \
    -stroke "$navy" -strokewidth 1 -draw 'line 167,61 217,61' \
    "$tmp/logo.png"

convert "$tmp/logo.png" -alpha off -type TrueColor -strip "BMP3:$here/logo.bmp"

echo "wrote $here/qx5180.png and $here/logo.bmp"
