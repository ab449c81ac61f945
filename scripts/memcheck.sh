#!/bin/sh
# Runs every native test program under valgrind memcheck and prints each
# program's summary; fails on any error or leak.
set -eu
cd "$(dirname "$0")/.."
. scripts/setup.sh
need_native_tools
need valgrind valgrind
install_missing

cmake --preset native >/dev/null
cmake --build --preset native >/dev/null
status=0
for program in build/native/bin/*_tests; do
  name=$(basename "$program")
  log=build/native/$name.memcheck.log
  if valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite,indirect,possible \
       --errors-for-leak-kinds=definite,indirect,possible --error-exitcode=99 --log-file="$log" \
       "$program" --gtest_brief=1 >/dev/null 2>&1; then
    result=clean
  else
    result="FAILED (see $log)"
    status=1
  fi
  printf '%-16s %s: %s\n' "$name" "$(grep -h 'ERROR SUMMARY' "$log" | sed 's/^==[0-9]*== //' | head -1)" "$result"
done
exit $status
