#!/bin/sh
# The plug-in must export exactly one symbol, FMExternCallProc, undecorated.
# usage: exports_check.sh OBJDUMP PLUGIN
set -u
names=$("$1" -p "$2" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p')
if [ "$names" = "FMExternCallProc" ]; then
  echo "1 passed, 0 failed"
  exit 0
fi
printf 'exports of %s:\n%s\n0 passed, 1 failed\n' "$2" "$names"
exit 1
