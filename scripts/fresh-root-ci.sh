#!/usr/bin/env bash
# fresh-root-ci.sh [COMMIT]
# Runs CI the way a new machine would: builds a fresh Debian 12 root file
# system with debootstrap (minbase, then only git and make), clones this
# repository into it at COMMIT (default HEAD), and runs `CI=true bash
# .ci/run` there, which installs everything else itself. Then, with /sys
# unmounted as in a plain chroot or a minimal container, `make test` once
# more. Prints the wall time of each step; the CI stages print their own.
# Run as root on a Debian or Ubuntu machine with debootstrap.
#   MIRROR     the Debian mirror (default http://deb.debian.org/debian)
#   ROOT_DIR   where the root is built (default a new folder under /var/tmp)
#   KEEP_ROOT  1 keeps the root afterwards (default: removed)
#   LOG        a file that gets a copy of everything printed
set -euo pipefail

source_repo=$(git -C "$(dirname "${BASH_SOURCE[0]}")" rev-parse --show-toplevel)
commit=$(git -C "$source_repo" rev-parse "${1:-HEAD}")
mirror=${MIRROR:-http://deb.debian.org/debian}
root=${ROOT_DIR:-$(mktemp -d /var/tmp/tamsel-fresh-root.XXXXXX)}

if [[ -n ${LOG:-} ]]; then exec > >(tee -a "$LOG") 2>&1; fi
if [[ $(id -u) -ne 0 ]]; then
  echo "fresh-root-ci: needs root (debootstrap, chroot, mount)" >&2
  exit 1
fi
command -v debootstrap >/dev/null || bash "$source_repo/scripts/ensure-packages.sh" debootstrap

mounted=()
cleanup() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount -R "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" 2>/dev/null || true
  done
  if [[ ${KEEP_ROOT:-0} != 1 ]]; then
    rm -rf --one-file-system "$root"
  else
    echo "fresh-root-ci: the root stays in $root"
  fi
}
trap cleanup EXIT

mount_in_root() {  # mount_in_root TARGET MOUNT-ARGUMENTS...
  local target="$root/$1"
  shift
  mount "$@" "$target"
  mounted+=("$target")
}

unmount_from_root() {
  umount -R "$root/$1"
  local kept=() m
  for m in "${mounted[@]}"; do [[ $m == "$root/$1" ]] || kept+=("$m"); done
  mounted=("${kept[@]}")
}

# A clean environment, as a login on the new machine has it.
in_root() {
  chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
}

step_start=0
step() {
  step_name=$1
  step_start=$SECONDS
  echo "fresh-root-ci: $step_name"
}
step_done() {
  echo "fresh-root-ci: $step_name took $((SECONDS - step_start)) s"
}

echo "fresh-root-ci: commit $commit, root $root"

step "debootstrap (Debian 12, minbase)"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1 || {
  tail -20 "$root.debootstrap.log"
  exit 1
}
rm -f "$root.debootstrap.log"
step_done

# /proc and /dev (with its pseudo-terminals, which the terminal tests use)
# from the start; /sys only for the CI run.
mount_in_root proc -t proc proc
mount_in_root dev --rbind /dev
mount --make-rslave "$root/dev"

step "apt-get install git make"
in_root apt-get update -q
in_root DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends git make
step_done

step "clone the repository"
git clone --quiet --no-local "$source_repo" "$root/root/tamsel"
git -C "$root/root/tamsel" checkout --quiet --detach "$commit"
step_done

mount_in_root sys -t sysfs sysfs
step "CI=true bash .ci/run"
in_root CI=true bash -c 'cd /root/tamsel && bash .ci/run'
step_done
unmount_from_root sys

step "make test without /sys"
[[ ! -e $root/sys/devices ]] || { echo "fresh-root-ci: /sys is still mounted" >&2; exit 1; }
in_root bash -c 'cd /root/tamsel && make test'
step_done

echo "fresh-root-ci: passed in $SECONDS s"
