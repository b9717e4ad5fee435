#!/bin/sh
# Draws the about-box pictures with ImageMagick: the program icon (a board corner with two
# black stones and a white one) at 32, 64 and 128 pixels, and the name picture (65 x 31,
# 16 colours, transparent).  Run from any folder; writes next to this script.
set -e
cd "$(dirname "$0")"

icon() {
    s=$1            # final size
    k=$((s * 4))    # drawn four times larger, then reduced for smooth edges
    u() { echo "$1 * $k / 32" | bc -l; }
    convert -size ${k}x${k} xc:none \
        -fill '#d9a54e' -stroke '#6b4a1c' -strokewidth "$(u 1)" \
        -draw "roundrectangle $(u 1),$(u 1) $(u 30.5),$(u 30.5) $(u 3),$(u 3)" \
        -stroke '#2b1d0b' -strokewidth "$(u 0.9)" \
        -draw "line $(u 7),$(u 7) $(u 30),$(u 7)" -draw "line $(u 7),$(u 7) $(u 7),$(u 30)" \
        -strokewidth "$(u 0.6)" \
        -draw "line $(u 7),$(u 14.5) $(u 30),$(u 14.5)" -draw "line $(u 7),$(u 22) $(u 30),$(u 22)" \
        -draw "line $(u 14.5),$(u 7) $(u 14.5),$(u 30)" -draw "line $(u 22),$(u 7) $(u 22),$(u 30)" \
        -stroke '#000000' -strokewidth "$(u 0.4)" -fill '#1c1c1c' \
        -draw "circle $(u 14.5),$(u 14.5) $(u 18.1),$(u 14.5)" \
        -draw "circle $(u 22),$(u 22) $(u 25.6),$(u 22)" \
        -stroke '#505050' -fill '#f4f4f0' \
        -draw "circle $(u 22),$(u 14.5) $(u 25.6),$(u 14.5)" \
        -fill '#ffffff' -stroke none \
        -draw "circle $(u 13.3),$(u 13.3) $(u 14.1),$(u 13.3)" \
        -draw "circle $(u 20.8),$(u 20.8) $(u 21.6),$(u 20.8)" \
        -resize ${s}x${s} "icon$s.png"
}
icon 32
icon 64
icon 128

# The name in a slanted, heavy serif leaning upward like a quick brush stroke, reduced to
# 16 colours with a hard transparent edge.
convert -size 400x200 xc:none -font DejaVu-Serif-Condensed-Bold-Italic -pointsize 92 \
    -fill '#201810' -gravity center -annotate 0x0+0+0 'Tavrin' -trim +repage \
    -background none -gravity center -extent 420x140 -shear 10x0 -rotate -5 -trim +repage \
    -resize 63x29 -extent 65x31 -channel A -threshold 45% +channel \
    -colors 16 PNG8:name.png
