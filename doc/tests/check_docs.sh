#!/usr/bin/env bash
# check_docs.sh man-page PAGE
#   The page renders without a warning: mandoc's lint, or groff's warnings
#   where mandoc is missing.
# check_docs.sh readme PROGRAM README
#   The README quotes the exit-code lines of PROGRAM --h2 word for word.
# check_docs.sh install BUILD_DIR
#   Installing under a fresh prefix gives a working program and a clean page.
set -euo pipefail

lint() {
  if command -v mandoc >/dev/null 2>&1; then
    mandoc -T lint -W warning "$1"
  else
    warnings=$(groff -man -ww -z "$1" 2>&1)
    [[ -z $warnings ]] || { echo "$warnings"; return 1; }
  fi
}

case $1 in
  man-page)
    lint "$2"
    ;;
  install)
    prefix=$(mktemp -d)
    trap 'rm -rf "$prefix"' EXIT
    "${CMAKE:-cmake}" --install "$2" --prefix "$prefix" >/dev/null
    [[ $("$prefix/bin/tamsel" 97 --isprime) == "Is 97 a prime number?  TRUE" ]]
    lint "$prefix/share/man/man1/tamsel.1"
    ;;
  readme)
    codes=$("$2" --h2 2>/dev/null | sed -n '/^EXIT\/RETURN CODES:/,$p' | tail -n +3) || true
    [[ -n $codes ]] || { echo "no exit codes in $2 --h2"; exit 1; }
    readme=$(<"$3")
    if [[ $readme != *"$codes"* ]]; then
      printf 'README.md lacks these lines of --h2, word for word:\n%s\n' "$codes"
      exit 1
    fi
    ;;
  *)
    echo "usage: $0 man-page PAGE | readme PROGRAM README | install BUILD_DIR" >&2
    exit 2
    ;;
esac
