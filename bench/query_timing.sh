#!/usr/bin/env bash
# Times whole runs of the two number queries at the top of their ranges.
# Usage: bench/query_timing.sh path/to/tamsel [repetitions]
# Each run should take well under 50 ms.
set -euo pipefail

if [[ $# -lt 1 || ! -x $1 ]]; then
  echo "usage: $0 path/to/tamsel [repetitions]" >&2
  exit 2
fi
program=$1
repetitions=${2:-5}

time_run() {
  local best=0 total=0 start end ms
  for ((i = 0; i < repetitions; ++i)); do
    start=$(date +%s%N)
    "$program" "$@" >/dev/null 2>&1 || true  # a query may end with a non-zero code
    end=$(date +%s%N)
    ms=$(((end - start) / 1000000))
    total=$((total + ms))
    if ((i == 0 || ms < best)); then best=$ms; fi
  done
  printf '%-45s best %4d ms  mean %4d ms\n' "$*" "$best" $((total / repetitions))
}

time_run 17,999,999,999,999,999,921 --isprime
time_run 4611686018427387647 --factors
