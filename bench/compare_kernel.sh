#!/usr/bin/env bash
# Times the sieve kernel (bench/kernel_bench) against `primesieve LOW HIGH -c
# -t1` on the same numbers: the last segments of a search up to each limit,
# about 10^10 numbers (the last segment alone at 1.8 x 10^19), taking turns
# round by round. Checks that the counts are equal; prints the medians, their
# ratio and the peak resident memory of both.
#
# Usage: bench/compare_kernel.sh path/to/kernel_bench [rounds] [segments] [limits...]
#   default: 3 rounds; segments 0 = about 10^10 numbers; the limits 10^12,
#   10^14, 10^16, 10^18 and 1.8 x 10^19. PRIMESIEVE=path picks the primesieve.
set -euo pipefail
if [[ $# -lt 1 || ! -x $1 ]]; then
  echo "usage: $0 path/to/kernel_bench [rounds] [segments] [limits...]" >&2
  exit 2
fi
source "$(dirname "$0")/primesieve_choice.sh"
kernel=$1
rounds=${2:-3}
segments=${3:-0}
shift $(($# >= 3 ? 3 : $#))
limits=("$@")
((${#limits[@]} > 0)) || limits=(1000000000000 100000000000000 10000000000000000 1000000000000000000 18000000000000000000)

timing=$(mktemp)
output=$(mktemp)
trap 'rm -f "$timing" "$output"' EXIT
# run_timed command...: the output in $output, sets ELAPSED and PEAK_MIB.
run_timed() {
  /usr/bin/time -o "$timing" -f '%e %M' "$@" >"$output" 2>/dev/null
  read -r ELAPSED PEAK_MIB <"$timing"
  PEAK_MIB=$(awk -v k="$PEAK_MIB" 'BEGIN { printf "%.1f", k / 1024 }')
}
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), load $(cut -d' ' -f1-3 /proc/loadavg); $($PRIMESIEVE --version | head -1)"
printf '%-22s %-12s %7s %9s %9s %7s %10s %10s %9s %9s\n' limit segments "s" ours primesieve ratio "place" "sieve" "MiB ours" "MiB ps"
for n in "${limits[@]}"; do
  s=$(awk -v n="$n" 'BEGIN { printf "%.0f", int(sqrt(n)) }')
  k=$segments
  ((k > 0)) || k=$(awk -v s="$s" 'BEGIN { k = int(1e10 / s); print (k > 0 && s <= 1e9 ? k : 1) }')
  ours=() theirs=() places=() sieves=()
  for ((r = 0; r < rounds; ++r)); do
    run_timed "$kernel" "$n" last "$k"
    read -r _ low _ high _ < <(head -1 "$output")
    count=$(awk '/^count/ { print $2 }' "$output")
    places+=("$(awk '/^base/ { print $2 + $5 }' "$output")")
    sieves+=("$(awk '/^base/ { print $8 }' "$output")")
    ours+=("$ELAPSED") ours_peak=$PEAK_MIB
    run_timed "$PRIMESIEVE" "$low" "$high" -c -t1
    theirs+=("$ELAPSED") theirs_peak=$PEAK_MIB
    their_count=$(grep -o 'Primes: [0-9]*' "$output" | awk '{ print $2 }')
    if [[ $count != "$their_count" ]]; then
      echo "COUNTS DIFFER for $low..$high: ours $count, primesieve $their_count" >&2
      exit 1
    fi
  done
  a=$(median "${ours[@]}") b=$(median "${theirs[@]}")
  printf '%-22s %-12s %7s %9s %9s %7s %10s %10s %9s %9s\n' "$n" "$k x" "$s" "$a" "$b" \
    "$(awk -v a="$a" -v b="$b" 'BEGIN { printf "%.2f", a / (b > 0 ? b : 0.01) }')" \
    "$(median "${places[@]}")" "$(median "${sieves[@]}")" "$ours_peak" "$theirs_peak"
done
