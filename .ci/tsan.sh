#!/usr/bin/env bash
# Builds the worker-thread pool's tests, the engines' tests and the console's
# (the status line draws from a thread of its own) with ThreadSanitizer and
# runs them; any data race fails.
#   TSAN_BUILD_DIR  build folder (default: build-tsan in the source tree)
#   TSAN_CXX        compiler (default: clang++)
#   TSAN_JOBS       parallel build jobs (default: 2)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TSAN_BUILD_DIR:-$root/build-tsan}"

# clang's thread-sanitizer runtime comes with libclang-rt-14-dev.
bash "$root/scripts/ensure-packages.sh" clang libclang-rt-14-dev ninja-build cmake libgtest-dev

cmake -S "$root" -B "$build" -G Ninja \
  -DTAMSEL_SANITIZE=thread \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER="${TSAN_CXX:-clang++}"

declare -A paths=(
  [tamsel_threads_tests]="engines/threads/tamsel_threads_tests"
  [tamsel_engines_tests]="engines/tamsel_engines_tests"
  [tamsel_console_tests]="core/console/tamsel_console_tests"
)
targets=()
known="$(ninja -C "$build" -t targets all)"
for target in tamsel_threads_tests tamsel_engines_tests tamsel_console_tests; do
  if grep -q "^$target: " <<<"$known"; then
    targets+=("$target")
  else
    echo "tsan: no target $target, skipped"
  fi
done

ninja -C "$build" -j "${TSAN_JOBS:-2}" "${targets[@]}"

export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}"
for target in "${targets[@]}"; do
  echo "tsan: running $target"
  # A worker left waiting for ever must fail the check, not stall it.
  timeout 1200 "$build/${paths[$target]}"
done
echo "tsan: clean"
