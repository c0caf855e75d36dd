#!/usr/bin/env bash
# Builds the bench tools and runs every benchmark against generated bumpy-sphere meshes:
#   1. Kel against Mesa's llvmpipe (2 threads) per mode on a 74,420-triangle mesh at
#      1000 x 1000, alternating in the same run, ROUNDS times; medians and the ratio range;
#      then which pixels each covers.
#   2. Phong at 1000 x 1000 on 10k, 100k and 1M triangles: ms per frame and peak memory.
#   3. Whole kel-render process: open the ~3 MB mesh scene, render 64 x 64, write the PNG;
#      and the reader alone in MB/s. The same for the mesh as Wavefront OBJ and ASCII PLY.
#   4. Reading every mesh format (2.6 MB as OBJ), tinyobjloader as the OBJ peer.
#   5. Repaints per second of the viewer's rendered view at 1000 x 1000.
# Usage: bench/run.sh [BUILD_DIR]   (a Release build; default build)
# Environment: FRAMES (frames per measurement, default 10), ROUNDS (default 3),
#              RUNS (whole-process runs, default 11).
set -euo pipefail
trap 'echo "bench/run.sh: the command at line $LINENO failed" >&2' ERR
cd "$(dirname "$0")/.."
build=$(realpath -m "${1:-build}")
frames=${FRAMES:-10}
rounds=${ROUNDS:-3}
runs=${RUNS:-11}

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
grep -q 'CMAKE_BUILD_TYPE:STRING=Release' "$build/CMakeCache.txt" ||
    echo "warning: $build is not a Release build; its figures mean little" >&2
if grep -q 'KEL_BUILD_BENCH:BOOL=OFF' "$build/CMakeCache.txt"; then
    echo "$build was configured with -DKEL_BUILD_BENCH=OFF; configure it with ON" >&2
    exit 2
fi
cmake --build "$build" -j2 --target kel-bench-tools >/dev/null

kel_render=$build/src/cli/kel-render
tools=$build/bench
data=$build/bench-data
mkdir -p "$data"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Meshes are kept between runs; a newer generator writes them again. With --mesh-files,
# the mesh as Wavefront OBJ and ASCII PLY too.
mesh() {
    local name=$1 triangles=$2 files=${3:-}
    if [ ! -f "$data/$name.kel" ] || [ "$tools/kel-bench-mesh" -nt "$data/$name.kel" ] ||
        { [ -n "$files" ] && [ ! -f "$data/$name.ply" ]; }; then
        "$tools/kel-bench-mesh" "$triangles" "$data/$name" $files >/dev/null
    fi
    echo "$data/$name.kel"
}

# The median ms per frame that kel-render --frames or the peer print on stderr.
median_ms() { sed -n 's/.* median \([0-9.]*\) ms per frame.*/\1/p' | tail -1; }
# Median and range of numbers given one per line.
summary() { sort -g | awk '{v[NR]=$1} END {m = NR % 2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2;
                               printf "%.2f %.2f %.2f\n", m, v[1], v[NR]}'; }

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'),"\
     "load average $(cut -d' ' -f1-3 /proc/loadavg)"
main_scene=$(mesh mesh-75k 75000 --mesh-files)
echo "Scene: $(basename "$main_scene"), $(sed -n 1p "${main_scene%.kel}.obj") vertices," \
     "$(stat -c %s "${main_scene%.kel}.obj") bytes of object file"

have_peer=0
[ -x "$tools/kel-bench-llvmpipe" ] && have_peer=1
echo
echo "== Kel against llvmpipe (LP_NUM_THREADS=${LP_NUM_THREADS:-2}), 1000 x 1000," \
     "median of $frames frames, $rounds rounds"
printf '%-10s %10s %12s %14s %s\n' mode "kel ms" "llvmpipe ms" "kel/llvmpipe" "(ratio range)"
for mode in wireframe gouraud phong; do
    : >"$out/kel" && : >"$out/peer" && : >"$out/ratio"
    for round in $(seq "$rounds"); do
        image=()
        [ "$round" = 1 ] && image=(--output "$out/kel-$mode.png")
        k=$("$kel_render" "$main_scene" --mode "$mode" --size 1020x1020 --frames "$frames" \
            "${image[@]}" 2>&1 | median_ms)
        echo "$k" >>"$out/kel"
        if [ $have_peer = 1 ]; then
            [ "$round" = 1 ] && image=(--output "$out/peer-$mode.png")
            p=$("$tools/kel-bench-llvmpipe" "$main_scene" --mode "$mode" --size 1000 \
                --frames "$frames" "${image[@]}" 2>&1 | median_ms)
            echo "$p" >>"$out/peer"
            awk -v k="$k" -v p="$p" 'BEGIN {printf "%.3f\n", k / p}' >>"$out/ratio"
        fi
    done
    read -r km _ _ < <(summary <"$out/kel")
    printf -v "kel_$mode" '%s' "$km"
    if [ $have_peer = 1 ]; then
        read -r pm _ _ < <(summary <"$out/peer")
        read -r rm rlo rhi < <(summary <"$out/ratio")
        printf '%-10s %10s %12s %14s (%s - %s)\n' "$mode" "$km" "$pm" "$rm" "$rlo" "$rhi"
    else
        printf '%-10s %10s %12s\n' "$mode" "$km" "(no OSMesa: peer not built)"
    fi
done
echo "Kel wireframe / Kel gouraud: $(awk -v w="$kel_wireframe" -v g="$kel_gouraud" \
    'BEGIN {printf "%.2f", w / g}')"
if [ $have_peer = 1 ]; then
    echo "Coverage of the 1000 x 1000 viewport (first: Kel, second: llvmpipe):"
    for mode in wireframe gouraud phong; do
        printf '  %-10s %s\n' "$mode" \
            "$("$tools/kel-bench-coverage" "$out/kel-$mode.png" "$out/peer-$mode.png")"
    done
fi

echo
echo "== Phong at 1000 x 1000 by size (one process each, median of $frames frames)"
printf '%12s %10s %14s %16s %20s\n' triangles "ms/frame" "peak kB" "bytes/triangle" \
    "bytes/added triangle"
previous_kb="" previous_t=""
for size in 10k:10000 100k:100000 1m:1000000; do
    scene=$(mesh "mesh-${size%%:*}" "${size##*:}")
    # Line 1 holds the vertex count; the polygon count follows the surface count.
    vertices=$(sed -n 1p "${scene%.kel}.obj")
    triangles=$(sed -n "$((vertices + 3))p" "${scene%.kel}.obj")
    result=$("$tools/kel-bench-process" --runs 1 -- "$kel_render" "$scene" --mode phong \
        --size 1020x1020 --frames "$frames" 2>&1)
    ms=$(median_ms <<<"$result")
    kb=$(sed -n 's/.*peak resident \([0-9]*\) kB.*/\1/p' <<<"$result")
    added="-"
    if [ -n "$previous_kb" ]; then
        added=$(awk -v a="$kb" -v b="$previous_kb" -v s="$triangles" -v r="$previous_t" \
            'BEGIN {printf "%.0f", (a - b) * 1024 / (s - r)}')
    fi
    printf '%12s %10s %14s %16s %20s\n' "$triangles" "$ms" "$kb" \
        "$(awk -v a="$kb" -v s="$triangles" 'BEGIN {printf "%.0f", a * 1024 / s}')" "$added"
    previous_kb=$kb previous_t=$triangles
done

echo
echo "== Whole process: kel-render opens the mesh and writes a 64 x 64 PNG; then the reader"
echo "alone. The same mesh as a Kel scene, as Wavefront OBJ and as ASCII PLY"
for file in "$main_scene" "${main_scene%.kel}-wavefront.obj" "${main_scene%.kel}.ply"; do
    echo "$(basename "$file"):"
    "$tools/kel-bench-process" --runs "$runs" -- "$kel_render" "$file" --size 64x64 \
        --output "$out/thumbnail.png"
    echo "Reader alone, in one process: $("$tools/kel-bench-open" "$file" --runs "$runs")"
done

echo
echo "== Mesh files: reading every format, and the whole kel-render process on the OBJ"
"$tools/kel-mesh-bench"

if [ -x "$tools/kel-bench-viewer" ]; then
    echo
    echo "== Viewer: repaints of the rendered view (Phong, Qt offscreen)"
    "$tools/kel-bench-viewer" "$main_scene" --mode phong --size 1000 --frames $((frames * 2)) \
        2>/dev/null
fi

echo
echo "Goals: gouraud and phong kel/llvmpipe <= 0.50 with the same coverage; wireframe no slower"
echo "than gouraud; 1M triangles <= 250 ms and <= 300 bytes per triangle; whole process"
echo "<= 50 ms; reader >= 300 MB/s; viewer >= 30 repaints per second."
