#!/bin/sh
# Writes the code page tables (cpNNNN.cpp, sources.cpp) beside this script
# from Wine's own MultiByteToWideChar and WideCharToMultiByte: builds
# generate_tables.exe with mingw-w64, runs it under Wine in a prefix of its
# own, and formats what it wrote. Needs mingw-w64, Wine and clang-format.
# usage: platform/codepage_tables/generate.sh
set -eu
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
trap 'WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

# Windows' ANSI code pages, the OEM ones RTF names, and the Mac ones.
codepages="874 932 936 949 950 1250 1251 1252 1253 1254 1255 1256 1257 1258 437 850
10000 10001 10002 10003 10004 10005 10006 10007 10008 10021 10029 10079 10081"

x86_64-w64-mingw32-g++ -std=c++17 -O2 -static -I "$top" -o "$work/generate_tables.exe" \
  "$here/generate_tables.cpp" "$here/codepage_table.cpp"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
for cp in $codepages; do
  wine "$work/generate_tables.exe" "$cp" > "$here/cp$cp.cpp"
done
# shellcheck disable=SC2086 # one argument a code page
wine "$work/generate_tables.exe" --index $codepages > "$here/sources.cpp"
clang-format -i "$here"/cp*.cpp "$here/sources.cpp"
