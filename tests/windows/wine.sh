#!/bin/sh
# Runs a Windows program under Wine in the test run's private prefix.
# usage: wine.sh PREFIX BITS PROGRAM [ARGS...]
# Exits 77 (a skipped test) when this machine cannot run Wine of that width.
set -u
prefix=$1; bits=$2; shift 2
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

loader=""
if [ "$bits" = 64 ]; then
  for candidate in wine64 /usr/lib/wine/wine64 /usr/lib64/wine/wine64 wine; do
    if command -v "$candidate" >/dev/null 2>&1; then loader=$candidate; break; fi
  done
else
  for candidate in /usr/lib/wine/wine wine; do
    if command -v "$candidate" >/dev/null 2>&1; then loader=$candidate; break; fi
  done
  # The 32-bit loader is a 32-bit Linux program; some kernels cannot run those.
  if [ -n "$loader" ] && ! "$loader" --version >/dev/null 2>&1; then
    echo "wine.sh: this kernel cannot run the 32-bit Wine loader ($loader); skipping" >&2
    exit 77
  fi
fi
if [ -z "$loader" ]; then
  echo "wine.sh: Wine is not installed (apt-get install wine wine64 wine32:i386)" >&2
  exit 77
fi
exec "$loader" "$@"
