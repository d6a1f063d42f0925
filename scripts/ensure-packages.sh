#!/usr/bin/env bash
# ensure-packages.sh PACKAGE...
# Makes sure the named Debian packages are installed. As root with apt-get it
# installs the missing ones; otherwise it stops with the line to type.
set -euo pipefail
missing=()
for package in "$@"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
((${#missing[@]} == 0)) && exit 0
if [[ $(id -u) -eq 0 ]] && command -v apt-get >/dev/null 2>&1; then
  echo "Installing ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
  exit 0
fi
echo "Missing packages: ${missing[*]}" >&2
echo "Install them with: sudo apt-get install ${missing[*]}" >&2
exit 1
