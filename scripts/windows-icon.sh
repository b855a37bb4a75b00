#!/usr/bin/env bash
# Makes a Windows icon file (.ico) from an SVG: the sizes Explorer and the
# taskbar ask for, each a PNG drawn by librsvg (rsvg-convert), which Windows
# reads inside an icon since Vista.
#
#   scripts/windows-icon.sh <in.svg> <out.ico>
set -euo pipefail
svg="$1"
out="$2"
sizes=(16 24 32 48 64 256)
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

byte() { printf "\\$(printf %03o "$1")"; }
le16() { byte $(($1 & 255)); byte $(($1 >> 8 & 255)); }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16 & 65535)); }

for s in "${sizes[@]}"; do
    rsvg-convert -w "$s" -h "$s" -f png -o "$tmp/$s.png" "$svg"
done
{
    # ICONDIR: reserved, type 1 (icon), the number of images.
    le16 0
    le16 1
    le16 ${#sizes[@]}
    offset=$((6 + 16 * ${#sizes[@]}))
    for s in "${sizes[@]}"; do
        size=$(stat -c %s "$tmp/$s.png")
        # ICONDIRENTRY: width and height (0 means 256), no palette, one
        # plane, 32 bits a pixel, the image's size and offset.
        byte $((s & 255)); byte $((s & 255)); byte 0; byte 0
        le16 1
        le16 32
        le32 "$size"
        le32 "$offset"
        offset=$((offset + size))
    done
    for s in "${sizes[@]}"; do
        cat "$tmp/$s.png"
    done
} >"$out.tmp"
mv "$out.tmp" "$out"
