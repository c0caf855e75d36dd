#!/usr/bin/env bash
# Kel and the llvmpipe peer draw a small generated scene over the same pixels in the same
# colours: catches a peer whose camera, culling or shading has drifted from Kel's.
# Usage: peer_agrees_test.sh KEL_RENDER BENCH_TOOLS_DIR
set -euo pipefail
kel_render=$1
tools=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$tools/kel-bench-mesh" 2000 "$dir/mesh" >/dev/null
for mode in gouraud phong; do
    "$kel_render" "$dir/mesh.kel" --mode "$mode" --size 220x220 --output "$dir/kel.png"
    "$tools/kel-bench-llvmpipe" "$dir/mesh.kel" --mode "$mode" --size 200 --frames 1 \
        --output "$dir/peer.png" 2>/dev/null
    echo "$mode: $("$tools/kel-bench-coverage" "$dir/kel.png" "$dir/peer.png" 2 2)"
done
