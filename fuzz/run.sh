#!/usr/bin/env bash
# fuzz/run.sh [SECONDS]
# Builds the libFuzzer targets with clang under the address and
# undefined-behaviour sanitizers and runs each for SECONDS (default 60),
# starting from its seed corpus fuzz/corpus/<name> and with its dictionary
# fuzz/<name>.dict. New inputs go to build-fuzz/corpus/<name>, an input that
# breaks a property to build-fuzz/artifacts/; the script then fails.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds=${1:-60}
build=build-fuzz

bash scripts/ensure-packages.sh clang libclang-rt-14-dev cmake
generator=$(command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
cmake -S . -B "$build" -G "$generator" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DTAMSEL_SANITIZE=address,undefined \
  -DTAMSEL_BUILD_FUZZ=ON -DTAMSEL_BUILD_TESTS=OFF >/dev/null

targets=()
for source in fuzz/*_fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done
cmake --build "$build" -j "${JOBS:-$(nproc)}" --target "${targets[@]}"

mkdir -p "$build/artifacts"
for target in "${targets[@]}"; do
  name=${target%_fuzz}
  mkdir -p "$build/corpus/$name"
  echo "fuzz: $target for $seconds s"
  "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -dict="fuzz/$name.dict" -artifact_prefix="$build/artifacts/$name-" \
    "$build/corpus/$name" "fuzz/corpus/$name"
done
