#!/bin/sh
# Whole-process comparison on one generated styled RTF document of about
# 10 MB: `styledtext convert --rtf` (read, write text, FileMaker block and
# HTML Format, keep the RTF, and write every format into files) against the
# RTF readers installed here (unrtf, catdoc), and a program that does the
# same file input and output with no conversion. Prints median wall and CPU time, peak memory and ratios, and
# the size of each block beside the text's.
# usage: bench/compare.sh [BYTES] [RUNS]
#   STYLEDTEXT=path/to/styledtext measures another build of the tool (an
#   earlier main, say) on the same document, for figures side by side.
set -eu
cd "$(dirname "$0")/.."
bytes=${1:-10000000}; runs=${2:-5}
. scripts/setup.sh
need_native_tools
need /usr/include/benchmark/benchmark.h libbenchmark-dev
need bc bc
need /usr/bin/time time
[ "${COMPARE_INSTALL_PEERS:-1}" = 1 ] && { need unrtf unrtf; need catdoc catdoc; }
install_missing 2>/dev/null || true

cmake --preset bench >/dev/null
cmake --build --preset bench --target styledtext styledtext_docgen styledtext_iofloor StyledText >/dev/null
tool=${STYLEDTEXT:-build/bench/bin/styledtext}
work=build/bench/compare
mkdir -p "$work"
doc=$work/doc.rtf
build/bench/bin/styledtext_docgen "$bytes" "$doc"
size=$(stat -c %s "$doc")

. bench/timing.sh
ours=""
header "RTF reader (whole process)"
report "styledtext convert --rtf" "$runs" "$tool" convert --rtf "$doc" --out "$work/out"
# The same file input and output, and fresh memory for the document and the
# results, with no conversion: no program doing this job can be faster here.
report "no conversion, same I/O (floor)" "$runs" build/bench/bin/styledtext_iofloor "$doc" "$work/out" "$work/floor"
if command -v catdoc >/dev/null 2>&1; then
  report "catdoc" "$runs" catdoc "$doc"
fi
if command -v unrtf >/dev/null 2>&1; then
  # unrtf takes minutes on a document this styled: one run says enough. It
  # writes the document's pictures into the current folder, so it runs in
  # the work folder.
  report "unrtf --text (1 run)" 1 sh -c "cd '$work' && unrtf --text doc.rtf"
fi
echo "document: $size bytes; the clipboard's blocks after the call (the RTF is the document's own), in bytes:"
for f in text.txt fmcs.bin rtf.rtf cfhtml.html; do
  [ -f "$work/out/$f" ] && printf '  %-12s %10d  (%.2f x the text)\n' "$f" "$(stat -c %s "$work/out/$f")" \
    "$(echo "$(stat -c %s "$work/out/$f") / $(stat -c %s "$work/out/text.txt")" | bc -l)"
done
