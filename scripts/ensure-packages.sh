#!/usr/bin/env bash
# ensure-packages.sh PACKAGE...
# Makes sure the named Debian packages are there. A package that brings a
# command counts as there when that command is on the PATH, however it was
# installed; any other package is asked of dpkg. As root with apt-get the
# missing ones are installed; otherwise the script stops with the line to
# type. Without dpkg (not Debian) only the commands can be checked, and the
# build's own checks name any missing library.
set -euo pipefail

# The command a package brings, for the packages the build uses.
command_of() {
  case "$1" in
    g++) echo g++ ;;
    clang) echo clang++ ;;
    cmake) echo cmake ;;
    make) echo make ;;
    ninja-build) echo ninja ;;
    mandoc) echo mandoc ;;
    groff) echo groff ;;
    primesieve-bin) echo primesieve ;;
    *) echo "" ;;
  esac
}

present() {
  local command
  command=$(command_of "$1")
  if [[ -n $command ]] && command -v "$command" >/dev/null 2>&1; then
    return 0
  fi
  if command -v dpkg-query >/dev/null 2>&1; then
    [[ $(dpkg-query -W -f='${Status}' "$1" 2>/dev/null) == "install ok installed" ]]
  else
    [[ -z $command ]]
  fi
}

missing=()
for package in "$@"; do
  present "$package" || missing+=("$package")
done
((${#missing[@]} == 0)) && exit 0

if [[ $(id -u) -eq 0 ]] && command -v apt-get >/dev/null 2>&1; then
  echo "Installing ${missing[*]} with apt-get ..." >&2
  export DEBIAN_FRONTEND=noninteractive
  # Fresh machines often have no package lists yet: fetch them only then.
  install=(apt-get install -y -qq --no-install-recommends "${missing[@]}")
  if "${install[@]}" >/dev/null 2>&1 || { apt-get update -qq && "${install[@]}"; }; then
    exit 0
  fi
  echo "apt-get could not install ${missing[*]}; see its messages above." >&2
  exit 1
fi

line="apt-get install ${missing[*]}"
if [[ $(id -u) -ne 0 ]] && command -v sudo >/dev/null 2>&1; then
  line="sudo $line"
fi
{
  echo "Missing: ${missing[*]}"
  if command -v apt-get >/dev/null 2>&1; then
    echo "Install them as root, then run the command again:"
    echo "  $line"
  else
    echo "These are Debian package names; install their counterparts, then run the command again."
  fi
} >&2
exit 1
