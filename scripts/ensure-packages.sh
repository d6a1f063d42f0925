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

# apt-get's own lines (what it fetches, unpacks and sets up) go to standard
# error as they come, so that a long install is seen to be working.
apt_install() {
  apt-get install -y -q -o Dpkg::Progress-Fancy=0 -o DPkg::Lock::Timeout=900 \
    --no-install-recommends "${missing[@]}" >&2
}

# Package lists newer than the install they serve; none on a fresh machine.
has_package_lists() { compgen -G '/var/lib/apt/lists/*_Packages' >/dev/null; }

if [[ $(id -u) -eq 0 ]] && command -v apt-get >/dev/null 2>&1; then
  echo "Installing ${missing[*]} with apt-get ..." >&2
  export DEBIAN_FRONTEND=noninteractive
  if ! has_package_lists; then
    echo "Fetching the package lists first ..." >&2
    apt-get update -q >&2 || true
  fi
  if apt_install; then
    exit 0
  fi
  # Lists that have gone stale name files the mirror no longer holds.
  echo "Fetching the package lists again, then retrying ..." >&2
  if apt-get update -q >&2 && apt_install; then
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
