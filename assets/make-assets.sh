#!/bin/bash
# Regenerates, next to this script, the application icon (qx5180.svg, and
# from it qx5180.png, qx5180-64.png and qx5180-128.png for the desktop, and
# qx5180-32.bmp for the window) and the logo bitmap (logo.bmp). Needs ImageMagick 6
# (convert), rsvg-convert (librsvg2-bin) and the DejaVu fonts.
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
command -v rsvg-convert >/dev/null || { echo "make-assets.sh: rsvg-convert not found (install librsvg2-bin)" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# A bitmap of 32 bits a pixel, rows from the top down (a negative height), which the panel
# shows from its own memory as it is (panelImage() in panel/widgets.cpp). ImageMagick writes
# rows from the bottom up, so it is given the picture upside down and the height is negated.
topdown_bmp() { # source destination height
    convert "$1" -flip -alpha on -type TrueColorAlpha "BMP:$2"
    local h=$(((1 << 32) - $3))
    printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((h & 255)) $((h >> 8 & 255)) \
        $((h >> 16 & 255)) $((h >> 24 & 255)))" | dd of="$2" bs=1 seek=22 conv=notrunc status=none
}

# ---------------------------------------------------------------------------
# Application icon: a loudspeaker with two sound arcs on a rounded square.
# The drawing exists once, as the scalable icon; every PNG is rendered from
# it, so the sizes cannot drift apart. The 256-unit canvas keeps the numbers
# whole; the arcs span 45 degrees either side of the speaker's axis
# (centre 108,128, radii 52 and 94).
# ---------------------------------------------------------------------------
cat >"$here/qx5180.svg" <<'SVG'
<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <rect x="6" y="6" width="244" height="244" rx="44" ry="44"
        fill="#1d3b6e" stroke="#0b1a33" stroke-width="8"/>
  <rect x="18" y="18" width="220" height="103" rx="34" ry="34" fill="#2f5a9e"/>
  <path d="M30,100 H72 L124,52 V204 L72,156 H30 Z" fill="#f2f5fa"/>
  <g fill="none" stroke="#ffc640" stroke-width="20" stroke-linecap="round">
    <path d="M144.77,91.23 A52,52 0 0 1 144.77,164.77"/>
    <path d="M174.47,61.53 A94,94 0 0 1 174.47,194.47"/>
  </g>
</svg>
SVG

# Rendered large and scaled down with Lanczos, which keeps the small sizes
# crisper than rasterising the outline straight at 32 px. The window's own
# copy of the 32 px icon is a bitmap of the same pixels.
rsvg-convert -w 256 -h 256 "$here/qx5180.svg" -o "$tmp/icon-256.png"
convert "$tmp/icon-256.png" -filter Lanczos -resize 32x32 \
    -strip -define png:exclude-chunks=date,time \
    -colors 256 "PNG8:$here/qx5180.png"
topdown_bmp "$here/qx5180.png" "$here/qx5180-32.bmp" 32
for size in 64 128; do
    convert "$tmp/icon-256.png" -filter Lanczos -resize "${size}x${size}" \
        -strip -define png:exclude-chunks=date,time \
        "PNG32:$here/qx5180-$size.png"
done

# ---------------------------------------------------------------------------
# Logo: 223 x 72, opaque, on a #8080FF background.
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

topdown_bmp "$tmp/logo.png" "$here/logo.bmp" 72

echo "wrote $here/qx5180.svg, qx5180.png, qx5180-64.png, qx5180-128.png, qx5180-32.bmp and logo.bmp"
