#!/bin/sh
# Runs a libFuzzer campaign on one target, built with clang under ASan and
# UBSan, starting from its committed corpus; with --merge, the inputs that
# reached new coverage are added to the committed corpus afterwards.
# usage: fuzz/run.sh TARGET SECONDS [--merge]
#   TARGET: fmcs_fuzz, styl_fuzz, rtf_reader_fuzz, styled_clipboard_fuzz, html_reader_fuzz,
#           styled_clipboard_html_fuzz, html_writer_fuzz
set -eu
cd "$(dirname "$0")/.."
if [ $# -lt 2 ]; then
  echo "usage: fuzz/run.sh TARGET SECONDS [--merge]" >&2
  exit 2
fi
target=$1; seconds=$2; merge=${3:-}
[ -f "fuzz/$target.cpp" ] || { echo "fuzz/run.sh: no target fuzz/$target.cpp" >&2; exit 2; }

. scripts/setup.sh
need_native_tools
need clang++ clang
need /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a libclang-rt-14-dev
install_missing

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "$target" >/dev/null

work=build/fuzz/work/$target
mkdir -p "$work" "build/fuzz/crashes/$target"
cp fuzz/corpus/"$target"/* "$work"/ 2>/dev/null || true
dict=""
case "$target" in
  rtf_reader_fuzz|styled_clipboard_fuzz) dict="-dict=fuzz/rtf.dict" ;;
  html_reader_fuzz|styled_clipboard_html_fuzz) dict="-dict=fuzz/html.dict" ;;
esac

echo "== fuzzing $target for $seconds s (log: build/fuzz/$target.log)"
# shellcheck disable=SC2086
build/fuzz/bin/"$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=4096 \
  -artifact_prefix="build/fuzz/crashes/$target/" $dict "$work" >"build/fuzz/$target.log" 2>&1 || {
  tail -n 40 "build/fuzz/$target.log"
  echo "fuzz/run.sh: $target found a failure; the input is in build/fuzz/crashes/$target/" >&2
  exit 1
}
grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "build/fuzz/$target.log" || true

if [ "$merge" = "--merge" ]; then
  before=$(ls fuzz/corpus/"$target" | wc -l)
  build/fuzz/bin/"$target" -merge=1 fuzz/corpus/"$target" "$work" >"build/fuzz/$target.merge.log" 2>&1
  after=$(ls fuzz/corpus/"$target" | wc -l)
  echo "merged: corpus $before -> $after files"
fi
