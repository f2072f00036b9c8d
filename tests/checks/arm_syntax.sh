#!/usr/bin/env bash
# The shell's sources, all but the x86 fast paths (*_x86.*), compile for the device's
# processor, 32-bit ARM Windows, with the mingw-w64 headers and without an error or a
# warning. Outside src/platform the desktop-only constants of device_headers.h fail too.
#
#   arm_syntax.sh SOURCE_DIR CXX "DEFINITION;..." "INCLUDE_DIR;..." CXX_STANDARD
#
# CXX is the build's mingw-w64 cross compiler, whose C++ library headers serve here too.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$1 cxx=$2 standard=$5
IFS=';' read -ra definitions <<<"$3"
IFS=';' read -ra include_dirs <<<"$4"
command -v clang++ >/dev/null || { echo "clang++ is missing (Debian package clang)"; exit 1; }

. "$here/cross_headers.sh"
read_cross_headers "$cxx" || exit 1

flags=(--target=armv7-w64-windows-gnu -fsyntax-only -std="c++$standard" -Wall -Wextra -nostdinc -nostdinc++
  "${cxx_header_dirs[@]/#/-isystem}" -isystem "$(clang++ -print-resource-dir)/include"
  "${system_header_dirs[@]/#/-isystem}"
  "${definitions[@]/#/-D}" "${include_dirs[@]/#/-I}")

cd "$source_dir" || exit 1
mapfile -t platform < <(find src/platform -name '*.cpp' | sort)
mapfile -t portable < <(find src -name '*.cpp' ! -path 'src/platform/*' ! -name '*_x86.*' | sort)
output=$(clang++ "${flags[@]}" "${platform[@]}" 2>&1)
status=$?
output+=$(clang++ "${flags[@]}" -include "$here/device_headers.h" "${portable[@]}" 2>&1)
status=$((status | $?))
if [ $status -ne 0 ] || [ -n "$output" ]; then
  printf '%s\n' "$output"
  echo "The sources above do not compile cleanly for 32-bit ARM Windows."
  exit 1
fi
echo "$((${#platform[@]} + ${#portable[@]})) sources compile for 32-bit ARM Windows without a warning"
