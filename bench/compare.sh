#!/bin/sh
# Whole-process comparison on one generated 10 MB styled RTF document:
# `styledtext convert --rtf` against the RTF readers installed here (unrtf,
# catdoc), several runs each, and beside a program that does the same file
# input and output with no conversion; prints median time, MB/s and ratios.
# usage: bench/compare.sh [BYTES] [RUNS]
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
work=build/bench/compare
mkdir -p "$work"
doc=$work/doc.rtf
build/bench/bin/styledtext_docgen "$bytes" "$doc"
size=$(stat -c %s "$doc")

. bench/timing.sh

printf '%-34s %10s %10s %12s\n' "reader (whole process)" "median s" "MB/s" "vs styledtext"
ours=$(median_seconds "$runs" build/bench/bin/styledtext convert --rtf "$doc" --out "$work/out")
report "styledtext convert --rtf" "$ours"
# The same file input and output, and fresh memory for the document and the
# results, with no conversion: no program doing this job can be faster here.
report "no conversion, same I/O (floor)" \
  "$(median_seconds "$runs" build/bench/bin/styledtext_iofloor "$doc" "$work/out" "$work/floor")"
if command -v unrtf >/dev/null 2>&1; then
  # unrtf takes minutes on a document this styled: one run says enough. It
  # writes the document's pictures into the current folder, so it runs in
  # the work folder.
  unrtf_in_work() { (cd "$work" && unrtf --text doc.rtf); }
  report "unrtf --text (1 run)" "$(median_seconds 1 unrtf_in_work)"
fi
if command -v catdoc >/dev/null 2>&1; then
  report "catdoc" "$(median_seconds "$runs" catdoc "$doc")"
fi
peak=$( { /usr/bin/time -f '%M' build/bench/bin/styledtext convert --rtf "$doc" --out "$work/out" >/dev/null; } 2>&1 | tail -1)
echo "document: $size bytes; styledtext peak RSS: ${peak} KB ($(echo "$peak * 1024 / $size" | bc -l | cut -c1-4)x the document)"
