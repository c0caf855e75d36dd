#!/usr/bin/env bash
# Builds a fuzzer in BUILD_DIR (fuzz_reader unless TARGET names another), seeds a corpus
# from the example scenes and runs it for SECONDS. Exits non-zero when the fuzzer finds a
# crash, a leak or undefined behaviour.
#
#   fuzz/run.sh BUILD_DIR SECONDS [TARGET]
set -euo pipefail

if [[ $# -lt 2 || $# -gt 3 ]]; then
  echo "usage: $0 BUILD_DIR SECONDS [fuzz_reader|fuzz_render]" >&2
  exit 2
fi
mkdir -p "$1"
build_dir=$(cd "$1" && pwd)
seconds=$2
target=${3:-fuzz_reader}
repo=$(cd "$(dirname "$0")/.." && pwd)
examples=$repo/examples

cmake -S "$repo" -B "$build_dir" -G Ninja \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
  -DKEL_FUZZ=ON -DKEL_BUILD_APP=OFF -DKEL_BUILD_TESTS=OFF -DKEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build_dir" --target "$target"

corpus=$build_dir/fuzz-corpus
mkdir -p "$corpus"
# One seed per scene: the scene file, then each object file it names, in order of first
# use, separated by NUL bytes (the fuzzer's input format).
for scene in "$examples"/*.kel; do
  read -r -d '' -a tokens < "$scene" || true
  count=${tokens[20]}
  names=()
  for ((i = 0; i < count; i++)); do
    name=${tokens[21 + 16 * i]}
    if [[ ! " ${names[*]-} " == *" $name "* ]]; then
      names+=("$name")
    fi
  done
  {
    cat "$scene"
    for name in "${names[@]}"; do
      printf '\0'
      cat "$examples/$name"
    done
  } > "$corpus/seed-$(basename "$scene" .kel)"
done
# Each object file behind the cube scene's header, so object files get mutated alone too.
for object in "$examples"/*.obj; do
  { sed 's/cube\.obj/any.obj/' "$examples/cube.kel"; printf '\0'; cat "$object"; } \
    > "$corpus/seed-object-$(basename "$object" .obj)"
done

cd "$build_dir"
# Rendering costs more per input than reading: smaller inputs keep the runs many.
max_len=65536
if [[ $target == fuzz_render ]]; then
  max_len=16384
fi
exec ./fuzz/"$target" -max_total_time="$seconds" -max_len="$max_len" -rss_limit_mb=2048 \
  -timeout=10 -print_final_stats=1 "$corpus"
