#!/usr/bin/env bash
# clang-tidy over the shell and its tools (src/, tools/) with the checks of .clang-tidy at
# the top of the sources, as the build compiles them; any finding fails.
#
#   clang_tidy.sh SOURCE_DIR BUILD_DIR CXX
#
# A file found clean gets a stamp, and is looked at again only when its object is newer
# (the build remakes it whenever the file or a header it includes changes) or the
# configuration is: the first run takes every file, later ones what changed.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$1 build_dir=$2 cxx=$3
command -v clang-tidy >/dev/null || { echo "clang-tidy is missing (Debian package clang-tidy)"; exit 1; }
. "$here/cross_headers.sh"
read_cross_headers "$cxx" || exit 1  # clang finds the mingw-w64 headers itself, not Debian's C++ library
analysis=$build_dir/static-analysis/clang-tidy stamps=$build_dir/static-analysis/clang-tidy/stamps
. "$here/analysis_database.sh"
write_analysis_database "$source_dir" "$build_dir" "$analysis" && mkdir -p "$stamps" || exit 1

# One line per file: the file and its object.
mapfile -t entries < <(awk '
  /"directory":/ { dir = $0; sub(/^ *"directory": "/, "", dir); sub(/",?$/, "", dir) }
  /"command":/ { object = $0; sub(/.* -o /, "", object); sub(/ .*/, "", object) }
  /"file":/ { file = $0; sub(/^ *"file": "/, "", file); sub(/",?$/, "", file); print file "\t" dir "/" object }
' "$analysis/compile_commands.json")

stale=()
for entry in "${entries[@]}"; do
  file=${entry%%$'\t'*} object=${entry#*$'\t'}
  stamp=$stamps/$(printf '%s' "${file#"$source_dir"/}" | tr / _)
  if [ ! -e "$stamp" ] || [ "$object" -nt "$stamp" ] || [ "$source_dir/.clang-tidy" -nt "$stamp" ] ||
    [ "${BASH_SOURCE[0]}" -nt "$stamp" ]; then
    rm -f "$stamp"
    stale+=("$file" "$stamp")
  fi
done

extra_args=("${cxx_header_dirs[@]/#/--extra-arg=-isystem}")

# Stamps a clean file; leaves what clang-tidy says of any other in the report.
analyse() {
  clang-tidy -p "$analysis" --quiet "${extra_args[@]}" "$1" >"$3" 2>&1 && touch "$2" && rm "$3"
}
reports=$(mktemp -d) || exit 1
trap 'rm -rf "$reports"' EXIT
for ((i = 0; i < ${#stale[@]}; i += 2)); do
  while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do wait -n; done
  analyse "${stale[i]}" "${stale[i + 1]}" "$reports/$i" &
done
wait
if [ -n "$(ls "$reports")" ]; then
  cat "$reports"/* | grep -v -E '^[0-9]+ (warning|error)s? generated\.$'
  exit 1
fi
echo "clang-tidy: ${#entries[@]} files clean ($((${#stale[@]} / 2)) looked at now)"
