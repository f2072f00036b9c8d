#!/usr/bin/env bash
# Drive Q: of the test prefix as a small file system of its own (a 64 KiB tmpfs), for the
# test of a write that fails on a full volume. When the machine refuses the mount, Q: is a
# plain folder holding skipped.txt with the reason, which the test reports as its skip.
#
#   full_volume.sh setup|cleanup BUILD_DIR
set -u
action=$1 build=$(cd "$2" && pwd) || exit 1
prefix=${WINEPREFIX:-$build/wineprefix}
volume=$build/full-volume
drive=$prefix/dosdevices/q:

cleanup() {
  rm -f "$drive"
  if mountpoint -q "$volume"; then umount "$volume" || return 1; fi
  rm -rf "$volume"
}

case $action in
setup)
  cleanup || exit 1
  mkdir -p "$volume" "$prefix/dosdevices" || exit 1
  if ! refusal=$(mount -t tmpfs -o size=64k,mode=0777 zorv-full-volume "$volume" 2>&1); then
    printf 'this machine refuses to mount a small file system (%s)\n' "${refusal:-no reason given}" >"$volume/skipped.txt"
  fi
  ln -s "$volume" "$drive"
  ;;
cleanup) cleanup ;;
*) echo "usage: $0 setup|cleanup BUILD_DIR"; exit 2 ;;
esac
