#!/usr/bin/env bash
# A file system of 1 MiB for the restore tests to fill: `full_disk.sh mount DIR`
# mounts it at DIR and leaves the file "mounted" in it, `full_disk.sh unmount DIR`
# takes it away. Mounting needs root; without it the tests say so.
set -uo pipefail
action=$1 dir=$2
if mountpoint -q "$dir"; then umount "$dir" || exit 1; fi
[ "$action" = unmount ] && exit 0
mkdir -p "$dir"
if ! mount -t tmpfs -o size=1m tmpfs "$dir"; then
  echo "full_disk: could not mount a file system of 1 MiB at $dir" >&2
  exit 0
fi
: > "$dir/mounted"
