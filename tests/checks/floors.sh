#!/usr/bin/env bash
# The folders of src/ form floors: a file includes only headers of its own folder and of
# the folders below it. The x86 fast paths (*_x86.*) include none of the portable headers,
# so that the portable files stand without them.
#
#   floors.sh SOURCE_DIR
set -u
cd "$1/src" || exit 1

# Bottom up; a folder's rank is its place in this list.
floors=(platform core config theme gfx launch taskbar dialogs startmenu exitscreen shell)
declare -A rank
for i in "${!floors[@]}"; do rank[${floors[$i]}]=$i; done
# The drawing toolkit stands on the floor alone: it knows nothing of settings or themes.
declare -A only=([gfx]="platform core gfx")

faults=0
for folder in */; do
  folder=${folder%/}
  [ -n "${rank[$folder]-}" ] || { echo "src/$folder has no floor in floors.sh"; faults=$((faults + 1)); }
done
while IFS=: read -r file _ included; do
  own=${file%%/*}
  target=${included%%/*}
  [ "$target" = "$included" ] && continue  # not a folder of src/ (resource.h)
  if [ -z "${rank[$target]-}" ]; then
    echo "src/$file includes $included, of a folder without a floor"
  elif [ "${rank[$target]}" -gt "${rank[$own]:-0}" ]; then
    echo "src/$file includes $included, a floor above its own"
  elif [ -n "${only[$own]-}" ] && [[ " ${only[$own]} " != *" $target "* ]]; then
    echo "src/$file includes $included, outside what ${own}/ may use (${only[$own]})"
  elif [[ $file == *_x86.* && $included != *_x86.h ]]; then
    echo "src/$file, an x86 fast path, includes the portable $included"
  else
    continue
  fi
  faults=$((faults + 1))
done < <(grep -rHo '^#include "[^"]*"' --include='*.h' --include='*.cpp' . | sed 's|^\./||; s|:#include "|::|; s|"$||')
[ $faults -eq 0 ] || exit 1
echo "every include of src/ points to its own floor or one below"
