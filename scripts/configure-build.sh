#!/usr/bin/env bash
# configure-build.sh BUILD_DIR program|tests [CMAKE_OPTION...]
# Configures the build folder when it needs it: when it holds no generated
# build files (never configured, or a first configure that failed or was
# interrupted), or when the tests are wanted and it was configured without
# them. A folder configured with the tests serves the program as it is.
# Run from the source folder.
set -euo pipefail
build=$1
want=$2
shift 2
cache="$build/CMakeCache.txt"

generated() { [[ -f $cache && ( -f $build/build.ninja || -f $build/Makefile ) ]]; }
tests_on() { grep -qx 'TAMSEL_BUILD_TESTS:BOOL=ON' "$cache"; }

if generated; then
  if [[ $want == program ]] || tests_on; then
    exit 0
  fi
  # Same generator as before; a failure here is retried by the next build,
  # since the generated files depend on the cache.
  exec cmake -S . -B "$build" -DTAMSEL_BUILD_TESTS=ON "$@"
fi

# What a failed or interrupted configure left behind would be reused (or
# refused, for another generator): start afresh.
rm -rf "$cache" "$build/CMakeFiles"
generator="Unix Makefiles"
if command -v ninja >/dev/null 2>&1; then generator=Ninja; fi
tests=OFF
if [[ $want == tests ]]; then tests=ON; fi
exec cmake -S . -B "$build" -G "$generator" -DCMAKE_BUILD_TYPE=Release \
  -DTAMSEL_BUILD_TESTS="$tests" "$@"
