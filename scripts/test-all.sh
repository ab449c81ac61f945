#!/bin/sh
# Builds and runs every test: native, under AddressSanitizer and
# UndefinedBehaviorSanitizer, the threaded tests under ThreadSanitizer, with
# clang, and the Windows plug-ins under Wine.
# Installs what is missing when run as root on Debian.
set -eu
cd "$(dirname "$0")/.."
. scripts/setup.sh
need_native_tools
need clang++ clang
need_windows_tools
install_missing

jobs=${JOBS:-$(nproc)}
failed=""
step() {  # step NAME PRESET
  echo "== $1"
  if cmake --preset "$2" -DSTYLEDTEXT_WERROR=ON >"build-$2.log" 2>&1 \
     && cmake --build --preset "$2" -j "$jobs" >>"build-$2.log" 2>&1; then
    rm -f "build-$2.log"
    ctest --preset "$2" -j "$jobs" || failed="$failed $2"
  else
    tail -n 40 "build-$2.log"
    echo "build of $2 failed (full log: build-$2.log)"
    failed="$failed $2"
  fi
}

step "native (g++)" native
step "sanitizers (ASan + UBSan)" sanitize
step "ThreadSanitizer (the RTF reader on many threads; the plug-in and the writers on two)" tsan
step "native (clang)" clang
step "Windows 64-bit under Wine" mingw64
step "Windows 32-bit under Wine" mingw32

# The "HTML Format" the Windows plug-in wrote under Wine, shown by Chromium.
echo "== the HTML written under Wine, in Chromium"
STYLEDTEXT_WINE_HTML_BLOCKS=build/mingw64/wine_html_blocks \
  build/native/bin/html_browser_tests --gtest_filter='WineBlocksInChromium.*' || failed="$failed wine-html-in-chromium"

if [ -n "$failed" ]; then
  echo "FAILED:$failed"
  exit 1
fi
echo "all test suites passed"
