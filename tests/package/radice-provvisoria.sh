#!/usr/bin/env bash
# Runs a command as root in a throw-away root: an overlay whose lower layer is this
# machine's / and whose upper layer is a tmpfs, in a mount namespace of its own. What the
# command installs or changes (dpkg's database included) lives in that tmpfs and is gone
# when the command ends; the machine is never written. The folder DIR, the caller's own,
# is shared at the same path, for the files to test and the results.
# Usage: radice-provvisoria.sh DIR COMMAND...
# As root, or where the kernel lets an ordinary user have user and mount namespaces.
set -euo pipefail
dir=$(realpath "$1")
shift
mkdir -p "$dir/radice"
userns=()
[ "$(id -u)" -eq 0 ] || userns=(--user --map-root-user)
exec unshare "${userns[@]}" --mount --propagation private --fork -- bash -euo pipefail -c '
  mnt=$1/radice dir=$1
  shift
  mount -t tmpfs radice "$mnt"
  mkdir "$mnt/su" "$mnt/lavoro" "$mnt/root"
  mount -t overlay radice -o "lowerdir=/,upperdir=$mnt/su,workdir=$mnt/lavoro" "$mnt/root"
  # The overlay sees only the root file system: the kernel'"'"'s ones come in whole, DIR
  # alone (not the overlay mounted below it).
  for fs in /proc /sys /dev; do mount --rbind "$fs" "$mnt/root$fs"; done
  mkdir -p "$mnt/root$dir"
  mount --bind "$dir" "$mnt/root$dir"
  exec chroot "$mnt/root" "$@"
' radice "$dir" "$@"
