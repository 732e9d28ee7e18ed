#!/bin/sh
# Renders the PNG sizes of both icons from their SVG sources; the PNGs are committed,
# so building the project needs no SVG renderer. Needs rsvg-convert (librsvg2-bin).
set -eu
cd "$(dirname "$0")/icons"
for name in metrovanta skalomer; do
    for size in 16 22 24 32 48 64 128 256; do
        mkdir -p "${size}x${size}"
        rsvg-convert -w "$size" -h "$size" -o "${size}x${size}/$name.png" "$name.svg"
    done
done
