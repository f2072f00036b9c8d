# Sourced by the checks that run clang over the shell's sources: the include folders of the
# build's mingw-w64 cross compiler, in its own order, without the compiler's private
# headers (x86 intrinsics among them), where clang has its own.
#
#   read_cross_headers CXX  sets cxx_header_dirs (the C++ library's folders) and
#                           system_header_dirs (the mingw-w64 headers)
read_cross_headers() {
  local cxx=$1 gcc_dir dir
  gcc_dir=$(dirname "$("$cxx" -print-libgcc-file-name)")
  cxx_header_dirs=() system_header_dirs=()
  while read -r dir; do
    case $dir in
      "$gcc_dir/include" | "$gcc_dir/include-fixed") ;;
      */include/c++*) cxx_header_dirs+=("$dir") ;;
      *) system_header_dirs+=("$dir") ;;
    esac
  done < <("$cxx" -xc++ -E -v - </dev/null 2>&1 | sed -n '/<\.\.\.> search starts/,/End of search/p' | sed '1d;$d')
  [ ${#cxx_header_dirs[@]} -gt 0 ] && [ ${#system_header_dirs[@]} -gt 0 ] ||
    { echo "cannot find the include folders of $cxx"; return 1; }
}
