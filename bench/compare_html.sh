#!/bin/sh
# Whole-process comparison on two "HTML Format" blocks of about 10 MB: one as
# the plug-in writes it (the generated RTF document converted by styledtext
# itself) and one of Word's clipboard markup (a style sheet, classes, mso-
# properties, list markers). `styledtext convert --cfhtml` (read it, write
# text, FileMaker block and RTF; the block itself stays) against the HTML-to-text
# programs installed here (w3m, lynx, pandoc), which read the same HTML
# without the block's header. Prints median wall and CPU time, peak memory
# and ratios.
# usage: bench/compare_html.sh [RTF_BYTES] [RUNS]
#   STYLEDTEXT=path/to/styledtext measures another build of the tool.
set -eu
cd "$(dirname "$0")/.."
rtf_bytes=${1:-8500000}; runs=${2:-3}
. scripts/setup.sh
need_native_tools
need /usr/include/benchmark/benchmark.h libbenchmark-dev
need bc bc
need /usr/bin/time time
[ "${COMPARE_INSTALL_PEERS:-1}" = 1 ] && { need w3m w3m; need lynx lynx; need pandoc pandoc; }
install_missing 2>/dev/null || true

cmake --preset bench >/dev/null
cmake --build --preset bench --target styledtext styledtext_docgen StyledText >/dev/null
tool=${STYLEDTEXT:-build/bench/bin/styledtext}
work=build/bench/compare_html
mkdir -p "$work"
build/bench/bin/styledtext_docgen "$rtf_bytes" "$work/doc.rtf"
"$tool" convert --rtf "$work/doc.rtf" --out "$work/made" >/dev/null
cp "$work/made/cfhtml.html" "$work/writer.cfhtml"
build/bench/bin/styledtext_docgen --word-html 10000000 "$work/word.cfhtml"

. bench/timing.sh
for kind in writer word; do
  block=$work/$kind.cfhtml
  start_html=$(sed -n 's/^StartHTML:\([0-9-]*\).*/\1/p' "$block" | head -1)
  tail -c +"$((start_html + 1))" "$block" >"$work/$kind.html"
  size=$(stat -c %s "$block")
  ours=""
  echo "$kind block: $size bytes"
  header "HTML reader (whole process)"
  report "styledtext convert --cfhtml" "$runs" "$tool" convert --cfhtml "$block" --out "$work/out"
  command -v lynx >/dev/null 2>&1 && report "lynx -dump" "$runs" lynx -dump -force_html "$work/$kind.html"
  command -v w3m >/dev/null 2>&1 && report "w3m -dump" "$runs" w3m -dump -T text/html "$work/$kind.html"
  command -v pandoc >/dev/null 2>&1 && report "pandoc -f html -t plain (1 run)" 1 pandoc -f html -t plain "$work/$kind.html"
done
