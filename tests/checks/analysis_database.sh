# Sourced by the static analysis checks: the compile database of the files they analyse.
#
#   write_analysis_database SOURCE_DIR BUILD_DIR OUT_DIR
#
# Writes OUT_DIR/compile_commands.json with the build's entries for the files of src/ and
# tools/, one each: the sample application is compiled once for each of its four file
# icons, and one look at it is enough.
write_analysis_database() {
  local source_dir=$1 build_dir=$2 out_dir=$3
  mkdir -p "$out_dir" || return 1
  awk -v src="$source_dir/src/" -v tools="$source_dir/tools/" '
    /^\{$/ { entry = ""; next }
    /^\},?$/ { if (wanted && !seen[file]++) entries[count++] = entry; wanted = 0; next }
    /^  "file": / { file = $0; sub(/^  "file": "/, "", file); sub(/",?$/, "", file)
      wanted = index(file, src) == 1 || index(file, tools) == 1 }
    /^  "/ { sub(/,$/, ""); entry = entry (entry == "" ? "" : ",\n") $0 }
    END { print "["; for (i = 0; i < count; i++) print "{\n" entries[i] "\n}" (i + 1 < count ? "," : ""); print "]" }
  ' "$build_dir/compile_commands.json" >"$out_dir/compile_commands.json" &&
    grep -q '"file":' "$out_dir/compile_commands.json" ||
    { echo "no files of src/ or tools/ in $build_dir/compile_commands.json"; return 1; }
}
