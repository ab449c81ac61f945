#!/bin/sh
# Builds the plug-in and the styledtext tool, then does what FileMaker users
# do with it: a styled copy from FileMaker (text and "Mac-FMcs") goes through
# the plug-in's StyledClipboard, and the RTF it adds for word processors is shown.
set -eu
cd "$(dirname "$0")/.."
. scripts/setup.sh
need_native_tools
install_missing

echo "== building"
cmake --preset native >/dev/null
cmake --build --preset native --target styledtext StyledText >/dev/null

bin=build/native/bin
out=build/demo
echo "== StyledClipboard on a FileMaker copy (tools/samples/filemaker_copy.*)"
"$bin/styledtext" convert --text tools/samples/filemaker_copy.txt --fmcs tools/samples/filemaker_copy.fmcs --out "$out"
echo
echo "== the RTF it wrote ($out/rtf.rtf), read back:"
"$bin/styledtext" show --rtf "$out/rtf.rtf"
echo
"$bin/styledtext" show --rtf "$out/rtf.rtf" --ansi
"$bin/styledtext" show --rtf "$out/rtf.rtf" --html > "$out/rtf.html"
echo
echo "Open $out/rtf.html in a browser to see it as a word processor would."
