#!/usr/bin/env bash
# cppcheck over the shell and its tools (src/, tools/) as the build compiles them, with
# Win32 knowledge from cppcheck's windows.cfg corrected by cppcheck-win32.cfg, and the
# suppressions of cppcheck-suppressions.xml; any finding fails.
#
#   cppcheck.sh SOURCE_DIR BUILD_DIR
#
# One process: suppressions by symbol name are lost between the processes of -j.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$1 build_dir=$2
command -v cppcheck >/dev/null || { echo "cppcheck is missing (Debian package cppcheck)"; exit 1; }
analysis=$build_dir/static-analysis/cppcheck
. "$here/analysis_database.sh"
write_analysis_database "$source_dir" "$build_dir" "$analysis" || exit 1
cppcheck --project="$analysis/compile_commands.json" --enable=warning,style,performance,portability --platform=win64 \
  --library=windows --library="$here/cppcheck-win32.cfg" --suppress-xml="$here/cppcheck-suppressions.xml" \
  --error-exitcode=1 --quiet --template='{file}:{line}:{column}: {severity}: {message} [{id}]' || exit 1
echo "cppcheck: no finding in src/ and tools/"
