#!/usr/bin/env bash
# mpi_compare.sh [-r ROUNDS] TAMSEL TAMSEL_MPI [LIMIT...]
# Takes turns between `tamsel N -p:2` and `mpirun -np 2 tamsel-mpi N -p:1`
# (the same two workers, as threads of one process or as two processes with
# the job's counter between them) and prints, per limit, the best search
# time of each from its statistics line, their ratio, and the best whole
# run (with the launcher's start-up). Then it checks that four ranks on this
# machine (--oversubscribe) count the same. Limits: 10^10 and 10^11.
set -euo pipefail
rounds=5
if [[ ${1:-} == -r ]]; then rounds=$2; shift 2; fi
tamsel=$1
tamsel_mpi=$2
shift 2
limits=("$@")
((${#limits[@]})) || limits=(10000000000 100000000000)
export OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1  # CI runs as root
mpirun=(mpirun --quiet --oversubscribe)

# Prints "search-seconds wall-seconds count" of one run.
measure() {
  local start end out
  start=$(date +%s.%N)
  out=$("$@")
  end=$(date +%s.%N)
  local stats
  stats=$(grep '^## Prime Number Stats' <<<"$out")
  local duration count
  duration=$(sed -E 's/.*DURATION: ([0-9:.]+).*/\1/' <<<"$stats")
  count=$(sed -E 's/.* T:\.*([0-9,]+) .*/\1/' <<<"$stats")
  awk -v d="$duration" -v s="$start" -v e="$end" -v c="$count" 'BEGIN {
    split(d, t, ":"); printf "%.3f %.3f %s\n", t[1] * 3600 + t[2] * 60 + t[3], e - s, c }'
}

best() { sort -n | head -1; }

printf '%-14s %10s %10s %7s %12s %12s\n' limit "-p:2 s" "mpi 2x1 s" ratio "-p:2 wall" "mpi wall"
for n in "${limits[@]}"; do
  single=() job=() singleWall=() jobWall=()
  for ((i = 0; i < rounds; i++)); do
    read -r s w c1 < <(measure "$tamsel" "$n" -p:2)
    single+=("$s") singleWall+=("$w")
    read -r s w c2 < <(measure "${mpirun[@]}" -np 2 "$tamsel_mpi" "$n" -p:1)
    job+=("$s") jobWall+=("$w")
    [[ $c1 == "$c2" ]] || { echo "counts differ at $n: $c1 and $c2" >&2; exit 1; }
  done
  a=$(printf '%s\n' "${single[@]}" | best)
  b=$(printf '%s\n' "${job[@]}" | best)
  aw=$(printf '%s\n' "${singleWall[@]}" | best)
  bw=$(printf '%s\n' "${jobWall[@]}" | best)
  printf '%-14s %10s %10s %7.3f %12s %12s\n' "$n" "$a" "$b" "$(awk -v a="$a" -v b="$b" 'BEGIN{print b/a}')" "$aw" "$bw"
  read -r _ _ c4 < <(measure "${mpirun[@]}" -np 4 "$tamsel_mpi" "$n" -p:1)
  echo "  4 ranks x 1 thread: count $c4 ($([[ $c4 == "$c1" ]] && echo same || echo DIFFERENT))"
done
