#!/usr/bin/env bash
# Times whole searches of tamsel against primesieve (Debian package
# primesieve-bin) in one run, alternating the two programs so that both see
# the same machine state, and prints the best of several runs and the ratio.
#
# Usage: bench/compare_engines.sh path/to/tamsel [repetitions] [limits...]
#   default limits: 100000000 1000000000 10000000000
# Single thread: tamsel's segmented sieve Plus against primesieve -t1.
# All threads:   tamsel -p:<n> against its own Plus run (speedup) and
#                against primesieve -t<n> (ratio), at the largest limit.
set -euo pipefail

if [[ $# -lt 1 || ! -x $1 ]]; then
  echo "usage: $0 path/to/tamsel [repetitions] [limits...]" >&2
  exit 2
fi
tamsel=$1
repetitions=${2:-3}
shift $(($# >= 2 ? 2 : 1))
limits=("$@")
((${#limits[@]} > 0)) || limits=(100000000 1000000000 10000000000)
command -v primesieve >/dev/null || { echo "primesieve is not installed (apt-get install primesieve-bin)" >&2; exit 2; }
threads=$(nproc)

elapsed_ms() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

# best_of_alternating "label A" cmdA... -- "label B" cmdB...: sets BEST_A, BEST_B.
best_of_alternating() {
  local -a a=() b=()
  while [[ $1 != -- ]]; do a+=("$1"); shift; done
  shift
  b=("$@")
  BEST_A=0 BEST_B=0
  local i t
  for ((i = 0; i < repetitions; ++i)); do
    t=$(elapsed_ms "${a[@]}")
    ((i == 0 || t < BEST_A)) && BEST_A=$t
    t=$(elapsed_ms "${b[@]}")
    ((i == 0 || t < BEST_B)) && BEST_B=$t
  done
  return 0
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) b = 1; printf "%.2f", a / b }'; }

printf '%-14s %14s %16s %8s\n' "limit" "tamsel Plus ms" "primesieve -t1 ms" "ratio"
for n in "${limits[@]}"; do
  best_of_alternating "$tamsel" "$n" -- primesieve "$n" -c -t1
  printf '%-14s %14d %16d %8s\n' "$n" "$BEST_A" "$BEST_B" "$(ratio "$BEST_A" "$BEST_B")"
  single_reference=$BEST_B
done

n=${limits[-1]}
echo
echo "all $threads threads at $n:"
best_of_alternating "$tamsel" "$n" "-p:$threads" -- "$tamsel" "$n"
parallel=$BEST_A plus=$BEST_B
best_of_alternating primesieve "$n" -c "-t$threads" -- true
reference=$BEST_A
printf '%-34s %8d ms\n' "tamsel Plus (1 thread)" "$plus"
printf '%-34s %8d ms  speedup %s\n' "tamsel Parallel ($threads threads)" "$parallel" "$(ratio "$plus" "$parallel")"
printf '%-34s %8d ms  ratio %s\n' "primesieve -t$threads" "$reference" "$(ratio "$parallel" "$reference")"
# How well the machine itself scales right now: a busy host shows here first.
printf '%-34s %8s     speedup %s\n' "primesieve -t1 -> -t$threads" "" "$(ratio "$single_reference" "$reference")"
