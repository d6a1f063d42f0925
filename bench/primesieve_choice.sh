# Sourced by the comparison scripts: sets PRIMESIEVE to the primesieve to
# compare with, the newest build beside the project (../shared/bench from
# the source folder) when present, else the Debian package's (primesieve-bin);
# a PRIMESIEVE already set wins.
if [[ -z ${PRIMESIEVE:-} ]]; then
  PRIMESIEVE=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/../shared/bench/primesieve-12.16
  [[ -x $PRIMESIEVE ]] || PRIMESIEVE=$(command -v primesieve || true)
fi
if [[ -z $PRIMESIEVE || ! -x $PRIMESIEVE ]]; then
  echo "primesieve is not installed (apt-get install primesieve-bin)" >&2
  exit 2
fi
