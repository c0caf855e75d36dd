#!/usr/bin/env bash
# Builds the four mesh reader fuzzers in BUILD_DIR, seeds each corpus with the example
# meshes and small files of every variant, and runs each for SECONDS. Exits non-zero when
# a fuzzer finds a crash, a leak or undefined behaviour.
#
#   fuzz/run_meshes.sh BUILD_DIR SECONDS
set -euo pipefail

if [[ $# -ne 2 ]]; then
  echo "usage: $0 BUILD_DIR SECONDS" >&2
  exit 2
fi
mkdir -p "$1"
build_dir=$(cd "$1" && pwd)
seconds=$2
repo=$(cd "$(dirname "$0")/.." && pwd)
examples=$repo/examples

cmake -S "$repo" -B "$build_dir" -G Ninja \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
  -DKEL_FUZZ=ON -DKEL_BUILD_APP=OFF -DKEL_BUILD_TESTS=OFF -DKEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build_dir" --target fuzz_mesh_wavefrontobj fuzz_mesh_off fuzz_mesh_ply \
  fuzz_mesh_stl

seed() {  # seed FORMAT NAME TEXT
  mkdir -p "$build_dir/mesh-corpus/$1"
  printf '%b' "$3" > "$build_dir/mesh-corpus/$1/$2"
}
seed wavefrontobj tri 'v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 1e-3\ns 1\nf 1 2 3\ns off\nf -1/1/1 2//1 3/4\n'
seed off coff 'COFF 4 2 0\n0 0 0 1 0 0 1\n1 0 0 1 0 0 1\n1 1 0 1 0 0 1\n0 1 0 1 0 0 1\n3 0 1 2 9\n4 0 1 2 3\n'
seed ply ascii 'ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\nproperty float z\nelement face 1\nproperty list uchar int vertex_indices\nend_header\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n'
seed stl ascii 'solid a\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\nendloop\nendfacet\nendsolid a\n'
cp "$examples/torus.obj" "$build_dir/mesh-corpus/wavefrontobj/"
cp "$examples/icosphere.ply" "$build_dir/mesh-corpus/ply/"
cp "$examples/nut.stl" "$build_dir/mesh-corpus/stl/"

cd "$build_dir"
for format in wavefrontobj off ply stl; do
  echo "== fuzz the $format reader"
  ./fuzz/fuzz_mesh_$format -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
    -print_final_stats=1 "mesh-corpus/$format"
done
