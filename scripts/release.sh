#!/bin/sh
# Builds what a FileMaker developer downloads: both Windows plug-ins and the
# styledtext tool in Release mode, in fresh build folders, from the committed
# tree; runs the Windows tests on them under Wine; and writes
#   dist/StyledText-<version>-windows.zip
# holding StyledText.fmx64, StyledText.fmx, styledtext.exe (64-bit) with the
# FMWrapper.dll it needs, INSTALL.txt and SHA256SUMS. The plug-ins are then
# taken back out of the zip and asked for their version under Wine.
#
# The same commit gives the same zip, byte for byte: every date in it is the
# commit's, the files go in a fixed order, and the binaries hold no link time
# and no build path. Installs what is missing when run as root on Debian.
#
# RELEASE_ALLOW_SKIPPED=1 accepts Windows tests that Wine could not run
# (a kernel without 32-bit support); otherwise such a skip stops the release.
set -eu
cd "$(dirname "$0")/.."
. scripts/setup.sh
need_native_tools
need_windows_tools
need git git
need python3 python3
install_missing

fail() { echo "release: $*" >&2; exit 1; }

git rev-parse --verify -q HEAD >/dev/null 2>&1 || fail "not a git checkout with a commit"
if [ -n "$(git status --porcelain)" ]; then
  git status --short >&2
  fail "the work tree differs from the commit; commit or remove the changes above first"
fi
commit=$(git rev-parse --short HEAD)
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct HEAD)
export SOURCE_DATE_EPOCH

jobs=${JOBS:-$(nproc)}
mkdir -p build
for preset in release-mingw64 release-mingw32; do
  echo "== $preset: fresh build (Release)"
  rm -rf "build/$preset"
  log=build/$preset.log
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset" -j "$jobs"; } >"$log" 2>&1; then
    tail -n 40 "$log"
    fail "build of $preset failed (full log: $log)"
  fi
  echo "== $preset: Windows tests under Wine"
  status=0
  ctest --preset "$preset" >"build/$preset.tests.log" 2>&1 || status=$?
  cat "build/$preset.tests.log"
  [ "$status" = 0 ] || fail "tests of $preset failed"
  # ctest's exit code is 0 when every test ran and passed, or was skipped.
  if grep -q '(Skipped)' "build/$preset.tests.log" && [ "${RELEASE_ALLOW_SKIPPED:-0}" != 1 ]; then
    fail "Wine skipped tests of $preset (see above); RELEASE_ALLOW_SKIPPED=1 releases anyway"
  fi
done

version=$(cat build/release-mingw64/release/VERSION)
[ "$version" = "$(cat build/release-mingw32/release/VERSION)" ] || fail "the two builds disagree on the version"
name=StyledText-$version-windows
files="StyledText.fmx64 StyledText.fmx styledtext.exe FMWrapper.dll INSTALL.txt"

echo "== $name.zip"
stage=build/release-stage
rm -rf "$stage"
mkdir -p "$stage"
cp build/release-mingw64/bin/StyledText.fmx64 build/release-mingw64/bin/styledtext.exe \
   build/release-mingw64/bin/FMWrapper.dll build/release-mingw64/release/INSTALL.txt "$stage/"
cp build/release-mingw32/bin/StyledText.fmx "$stage/"
# shellcheck disable=SC2086
(cd "$stage" && sha256sum $files >SHA256SUMS)
mkdir -p dist
# shellcheck disable=SC2086
python3 scripts/zip_release.py "dist/$name.zip" "$SOURCE_DATE_EPOCH" "$stage" $files SHA256SUMS

echo "== the plug-ins as unzipped, under Wine"
check=build/release-check
rm -rf "$check"
mkdir -p "$check/64" "$check/32"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "dist/$name.zip" "$check/64"
(cd "$check/64" && sha256sum --quiet -c SHA256SUMS) || fail "the unzipped files do not match SHA256SUMS"
cp "$check/64/StyledText.fmx" "$check/32/"
cp build/release-mingw64/bin/fmhost.exe "$check/64/"
cp build/release-mingw32/bin/fmhost.exe build/release-mingw32/bin/FMWrapper.dll "$check/32/"
here=$(pwd)
checked=0
for bits in 64 32; do
  plugin=StyledText.fmx; [ "$bits" = 64 ] && plugin=StyledText.fmx64
  prefix=$here/build/release-mingw$bits/wineprefix
  in_wine() { (cd "$check/$bits" && "$here/tests/windows/wine.sh" "$prefix" "$bits" "$@" 2>&1); }
  if ! answer=$(in_wine fmhost.exe "$plugin" call StyledTextVersion); then
    if "$here/tests/windows/wine.sh" "$prefix" "$bits" --version >/dev/null 2>&1; then
      fail "fmhost could not call StyledTextVersion of the unzipped $plugin: $answer"
    fi
    echo "$plugin: Wine cannot run $bits-bit programs here; not checked"
    continue
  fi
  resource=$(in_wine fmhost.exe "$plugin" version) || fail "no version resource in the unzipped $plugin: $resource"
  if [ "$bits" = 64 ]; then
    # The tool as shipped, beside its FMWrapper.dll, on the bundled FileMaker copy.
    if ! in_wine styledtext.exe convert --text "$here/tools/samples/filemaker_copy.txt" \
         --fmcs "$here/tools/samples/filemaker_copy.fmcs" --out converted >/dev/null \
       || ! [ -s "$check/64/converted/rtf.rtf" ]; then
      fail "the unzipped styledtext.exe did not convert the sample"
    fi
  fi
  answer=$(printf '%s\n' "$answer" | tr -d '\r')
  resource=$(printf '%s\n' "$resource" | tr -d '\r')
  "$here/tests/windows/wine_server.sh" stop "$prefix" "$bits"
  echo "$plugin:"
  echo "$answer" | sed -n 's/^result: /  StyledTextVersion: /p'
  echo "$resource" | sed 's/^/  /'
  if [ "$bits" = 64 ]; then echo "  styledtext.exe: the sample FileMaker copy converted to RTF"; fi
  echo "$answer" | grep -qx "result: Vorn Media Styled Text $version" || fail "$plugin answers another version"
  echo "$resource" | grep -qx "FileVersion: $version" || fail "$plugin's version resource holds another version"
  echo "$resource" | grep -qx "ProductVersion: $version" || fail "$plugin's version resource holds another version"
  checked=$((checked + 1))
done
[ "$checked" = 2 ] || [ "${RELEASE_ALLOW_SKIPPED:-0}" = 1 ] || fail "only $checked of 2 plug-ins checked"

echo
echo "release $version of commit $commit:"
echo "  $(sha256sum "dist/$name.zip")"
echo "  $(wc -c <"dist/$name.zip") bytes"
