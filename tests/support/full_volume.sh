#!/usr/bin/env bash
# Drive Q: of the test prefix as a small file system of its own (a 64 KiB tmpfs), for the
# test of a write that fails on a full volume. Mounting needs root: without it, and without
# sudo that asks no password, Q: is a plain folder holding skipped.txt with the reason, which
# the test reports as its skip. A mount refused to root fails here, and the test with it.
#
#   full_volume.sh setup|cleanup BUILD_DIR
set -u
action=$1 build=$(cd "$2" && pwd) || exit 1
prefix=${WINEPREFIX:-$build/wineprefix}
volume=$build/full-volume
drive=$prefix/dosdevices/q:

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo -n "$@"; fi
}

cleanup() {
  rm -f "$drive"
  if mountpoint -q "$volume"; then as_root umount "$volume" || return 1; fi
  rm -rf "$volume"
}

case $action in
setup)
  cleanup || exit 1
  mkdir -p "$volume" "$prefix/dosdevices" && ln -s "$volume" "$drive" || exit 1
  refusal=$(as_root mount -t tmpfs -o size=64k,mode=0777 zorv-full-volume "$volume" 2>&1) && exit 0
  if [ "$(id -u)" -eq 0 ] || sudo -n true 2>/dev/null; then
    echo "the mount of a small file system was refused to root: ${refusal:-no reason given}" >&2
    exit 1
  fi
  printf 'skipped: mounting a small file system needs root, which this run has not (%s)\n' "${refusal:-no reason given}" \
    >"$volume/skipped.txt"
  ;;
cleanup) cleanup ;;
*) echo "usage: $0 setup|cleanup BUILD_DIR"; exit 2 ;;
esac
