#!/usr/bin/env bash
# CTest's launcher for the full-disk tests: mounts a file system of 1 MiB for the
# run, names it to the test program in DZ_SMALL_DISK (as Windows sees it) and runs
# the program through scripts/wine-test.sh. Where nothing can be mounted (not
# root, say), the program runs without it and stands a write failure in for the
# full disk; either way the run says which.
set -uo pipefail
launcher=$(cd "$(dirname "$0")/../../scripts" && pwd)/wine-test.sh
case " $* " in *" --gtest_list_tests "*) exec "$launcher" "$@" ;; esac
disk=$(mktemp -d /tmp/dz-small-disk.XXXXXX) || exit 1
if mount -t tmpfs -o size=1m tmpfs "$disk" 2>/dev/null; then
  trap 'umount -l "$disk"; rmdir "$disk"' EXIT
  export DZ_SMALL_DISK="Z:${disk//\//\\}"
  echo "small-disk launcher: a file system of 1 MiB at $disk"
else
  trap 'rmdir "$disk"' EXIT
  echo "small-disk launcher: nothing could be mounted; an injected write failure stands for the full disk"
fi
"$launcher" "$@"
