#!/usr/bin/env bash
# check_docs.sh man-page PAGE
#   The page renders without a warning: mandoc's lint, or groff's warnings
#   where mandoc is missing.
# check_docs.sh readme PROGRAM README
#   The README quotes the exit-code lines of PROGRAM --h2 word for word.
# check_docs.sh install BUILD_DIR SOURCE_DIR
#   Installing under a fresh prefix gives a working program, a clean page and
#   a bash completion that bash-completion finds and that completes; make
#   uninstall then removes those files and nothing else. The build folder's
#   install manifest (of the user's own make install) is kept as it was.
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
    build=$2
    source=$3
    prefix=$(mktemp -d)
    manifest=$build/install_manifest.txt
    saved=$prefix.manifest
    if [[ -f $manifest ]]; then cp -p "$manifest" "$saved"; fi
    trap 'rm -rf "$prefix"; if [[ -f $saved ]]; then mv "$saved" "$manifest"; else rm -f "$manifest"; fi' EXIT
    "${CMAKE:-cmake}" --install "$build" --prefix "$prefix" >/dev/null
    [[ $("$prefix/bin/tamsel" 97 --isprime) == "Is 97 a prime number?  TRUE" ]]
    lint "$prefix/share/man/man1/tamsel.1"

    # bash-completion loads it from the prefix's data folder, as it would from
    # /usr/local/share, and it completes.
    loaded=$(XDG_DATA_DIRS=$prefix/share BASH_COMPLETION_USER_DIR=$prefix/none \
      bash --norc --noprofile -c \
      'source /usr/share/bash-completion/bash_completion && __load_completion tamsel &&
       complete -p tamsel')
    [[ $loaded == "complete -F "*" tamsel" ]] || { echo "not loaded: $loaded"; exit 1; }
    bash "$source/completion/tests/check_completion.sh" \
      "$prefix/share/bash-completion/completions/tamsel" "$source/driver/option_table.cpp"

    # Someone else's file in the same folders stays, and so do the folders.
    touch "$prefix/share/man/man1/other.1"
    env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL \
      make -s -C "$source" uninstall BUILD_DIR="$build" >/dev/null
    left=$(cd "$prefix" && find . ! -type d | sort)
    [[ $left == ./share/man/man1/other.1 ]] || { printf 'left after uninstall:\n%s\n' "$left"; exit 1; }
    [[ -d $prefix/share/bash-completion/completions && -d $prefix/bin ]]
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
    echo "usage: $0 man-page PAGE | readme PROGRAM README | install BUILD_DIR SOURCE_DIR" >&2
    exit 2
    ;;
esac
