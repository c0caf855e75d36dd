#!/usr/bin/env bash
# Renders the program icon (src/app/resources/kel.svg) into the hicolor sizes that are
# installed beside it. Run after changing the SVG; the PNGs are kept in the tree so that
# building needs no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")/.."
svg=src/app/resources/kel.svg
for size in 16 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" --output "packaging/icons/${size}.png" "$svg"
done
