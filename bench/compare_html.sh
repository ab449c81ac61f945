#!/bin/sh
# Whole-process comparison on one generated styled "HTML Format" block of
# about 10 MB (the generated RTF document converted by styledtext itself):
# `styledtext convert --cfhtml` against the HTML-to-text programs installed
# here (w3m, lynx, pandoc), several runs each; prints median time, MB/s and
# ratios. The peers read the same HTML without the block's header.
# usage: bench/compare_html.sh [RTF_BYTES] [RUNS]
set -eu
cd "$(dirname "$0")/.."
rtf_bytes=${1:-1600000}; runs=${2:-3}
. scripts/setup.sh
need_native_tools
need /usr/include/benchmark/benchmark.h libbenchmark-dev
need bc bc
[ "${COMPARE_INSTALL_PEERS:-1}" = 1 ] && { need w3m w3m; need lynx lynx; need pandoc pandoc; }
install_missing 2>/dev/null || true

cmake --preset bench >/dev/null
cmake --build --preset bench --target styledtext styledtext_docgen StyledText >/dev/null
work=build/bench/compare_html
mkdir -p "$work"
build/bench/bin/styledtext_docgen "$rtf_bytes" "$work/doc.rtf"
build/bench/bin/styledtext convert --rtf "$work/doc.rtf" --out "$work/made" >/dev/null
block=$work/made/cfhtml.html
start_html=$(sed -n 's/^StartHTML:\([0-9-]*\).*/\1/p' "$block" | head -1)
tail -c +"$((start_html + 1))" "$block" >"$work/doc.html"
size=$(stat -c %s "$block")

. bench/timing.sh

printf '%-34s %10s %10s %12s\n' "reader (whole process)" "median s" "MB/s" "vs styledtext"
ours=$(median_seconds "$runs" build/bench/bin/styledtext convert --cfhtml "$block" --out "$work/out")
report "styledtext convert --cfhtml" "$ours"
command -v w3m >/dev/null 2>&1 && report "w3m -dump" "$(median_seconds "$runs" w3m -dump -T text/html "$work/doc.html")"
command -v lynx >/dev/null 2>&1 && report "lynx -dump" "$(median_seconds "$runs" lynx -dump -force_html "$work/doc.html")"
command -v pandoc >/dev/null 2>&1 && report "pandoc -f html -t plain" \
  "$(median_seconds "$runs" pandoc -f html -t plain "$work/doc.html")"
echo "block: $size bytes"
