#!/bin/sh
# The Linux plug-in must export no symbol of ours but FMExternCallProc.
# usage: exports_check.sh PLUGIN
set -u
names=$(nm -D --defined-only "$1" | awk '{print $3}' | grep -vE '^(_init|_fini|_edata|_end|__bss_start)$')
if [ "$names" = "FMExternCallProc" ]; then
  echo "1 passed, 0 failed"
  exit 0
fi
printf 'exports of %s:\n%s\n0 passed, 1 failed\n' "$1" "$names"
exit 1
