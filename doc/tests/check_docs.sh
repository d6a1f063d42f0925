#!/usr/bin/env bash
# check_docs.sh man-page PAGE
#   The page renders without a warning: mandoc's lint, or groff's warnings
#   where mandoc is missing.
# check_docs.sh readme PROGRAM README
#   The README quotes the exit-code lines of PROGRAM --h2 word for word.
set -euo pipefail
case $1 in
  man-page)
    if command -v mandoc >/dev/null 2>&1; then
      mandoc -T lint -W warning "$2"
    else
      warnings=$(groff -man -ww -z "$2" 2>&1)
      [[ -z $warnings ]] || { echo "$warnings"; exit 1; }
    fi
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
    echo "usage: $0 man-page PAGE | readme PROGRAM README" >&2
    exit 2
    ;;
esac
