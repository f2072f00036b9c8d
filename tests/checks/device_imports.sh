#!/usr/bin/env bash
# Every function that the shell's modules outside src/platform take from a library must be
# one the device provides: on the list in src/platform/device_functions.txt.
#
#   device_imports.sh NM LIST "OBJECT;OBJECT;..."
#
# The objects are those of the shell library. Left out are src/platform's (swapped on the
# device) and the x86 fast paths (*_x86.*, not built there). A symbol that an object needs
# and no object of the library defines comes from outside: a DLL import (__imp_NAME) or a
# C runtime function linked through its import library; both are the device's core library
# there, so both must be listed. Names the C++ compiler mangles (_Z...), and its unwinding,
# guard and stack-probe helpers, come from the toolchain's own runtime, which is linked into
# the executable for whatever target it builds, and are not checked.
set -u
nm=$1 list=$2
IFS=';' read -ra objects <<<"$3"

portable=()
for object in "${objects[@]}"; do
  case $object in */src/platform/* | *_x86.*) ;; *) portable+=("$object") ;; esac
done
[ ${#portable[@]} -gt 0 ] || { echo "no objects to check in: $3"; exit 1; }

defined=$("$nm" --defined-only --format=posix "${objects[@]}" | awk 'NF >= 2 { print $1 }' | sort -u) || exit 1
needed=$("$nm" --undefined-only --format=posix "${portable[@]}" | awk 'NF >= 2 { print $1 }' | sort -u) || exit 1
outside=$(comm -23 <(printf '%s\n' "$needed") <(printf '%s\n' "$defined") |
  sed 's/^__imp_//' | grep -v -E '^(_Z|__cxa_|__gxx_personality_|_Unwind_|_+chkstk)' | sort -u)
listed=$(grep -v -E '^[[:space:]]*(#|$)' "$list" | awk '{ print $1 }' | sort -u)

missing=$(comm -23 <(printf '%s\n' "$outside") <(printf '%s\n' "$listed") | grep -v '^$')
if [ -n "$missing" ]; then
  echo "Not on the list of functions the device provides ($list):"
  printf '  %s\n' $missing
  echo "Move the call into src/platform behind an operation with the device's equivalent,"
  echo "or list the function with the place where the device's reference documents it."
  exit 1
fi
echo "$(printf '%s\n' "$outside" | grep -c .) functions imported outside src/platform, all provided by the device"
