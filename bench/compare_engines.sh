#!/usr/bin/env bash
# Times whole searches of tamsel against primesieve (the newest build in
# ../shared/bench when present, else the Debian package primesieve-bin; see
# primesieve_choice.sh) in one run: for each limit, the four commands take turns,
# and the best of several rounds counts, so that all four see the same
# machine. Prints the times, the processor time of the parallel runs, each
# program's speedup from one thread to all, and tamsel's ratio to primesieve.
#
# Usage: bench/compare_engines.sh [--busy] path/to/tamsel [rounds] [limits...]
#   default: 3 rounds at 1000000000 10000000000 100000000000
#   --busy   keeps one extra process spinning on every processor meanwhile
set -euo pipefail

busy=0
if [[ ${1:-} == --busy ]]; then
  busy=1
  shift
fi
if [[ $# -lt 1 || ! -x $1 ]]; then
  echo "usage: $0 [--busy] path/to/tamsel [rounds] [limits...]" >&2
  exit 2
fi
tamsel=$1
rounds=${2:-3}
shift $(($# >= 2 ? 2 : 1))
limits=("$@")
((${#limits[@]} > 0)) || limits=(1000000000 10000000000 100000000000)
source "$(dirname "$0")/primesieve_choice.sh"
threads=$(nproc)

spinners=()
stop_spinners() { ((${#spinners[@]} == 0)) || kill "${spinners[@]}" 2>/dev/null || true; }
trap stop_spinners EXIT
if ((busy)); then
  for ((i = 0; i < threads; ++i)); do
    (while :; do :; done) &
    spinners+=($!)
  done
fi

timing=$(mktemp)
trap 'stop_spinners; rm -f "$timing"' EXIT

# run_timed command...: sets SECONDS_ELAPSED and SECONDS_CPU.
# The elapsed time to the millisecond, from the shell's clock.
run_timed() {
  local user system elapsed started=$EPOCHREALTIME
  /usr/bin/time -o "$timing" -f '%e %U %S' "$@" >/dev/null 2>&1
  SECONDS_ELAPSED=$(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f", b - a }')
  read -r elapsed user system <"$timing"
  SECONDS_CPU=$(awk -v u="$user" -v s="$system" 'BEGIN { printf "%.2f", u + s }')
}

smaller() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) b = 0.001; printf "%.2f", a / b }'; }

echo "$($PRIMESIEVE --version | head -1); machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $threads logical processors, load $(cut -d' ' -f1-3 /proc/loadavg)$( ((busy)) && echo ", $threads spinning processes added")"
printf '%-13s %9s %9s %8s %11s %9s %9s %8s %9s %9s\n' limit Plus "-p:$threads" speedup "cpu -p/Plus" "ps -t1" "ps -t$threads" speedup Plus/ps "-p/ps"
for n in "${limits[@]}"; do
  names=(plus parallel ps1 psall)
  commands=("$tamsel $n" "$tamsel $n -p:$threads" "$PRIMESIEVE $n -c -t1" "$PRIMESIEVE $n -c -t$threads")
  declare -A best=() cpu=()
  for ((r = 0; r < rounds; ++r)); do
    for i in "${!names[@]}"; do
      # shellcheck disable=SC2086 # the commands are plain words
      run_timed ${commands[$i]}
      name=${names[$i]}
      if [[ -z ${best[$name]:-} ]] || smaller "$SECONDS_ELAPSED" "${best[$name]}"; then
        best[$name]=$SECONDS_ELAPSED
        cpu[$name]=$SECONDS_CPU
      fi
    done
  done
  printf '%-13s %9s %9s %8s %11s %9s %9s %8s %9s %9s\n' "$n" "${best[plus]}" "${best[parallel]}" \
    "$(ratio "${best[plus]}" "${best[parallel]}")" "$(ratio "${cpu[parallel]}" "${cpu[plus]}")" \
    "${best[ps1]}" "${best[psall]}" "$(ratio "${best[ps1]}" "${best[psall]}")" \
    "$(ratio "${best[plus]}" "${best[ps1]}")" "$(ratio "${best[parallel]}" "${best[psall]}")"
  unset best cpu
done
