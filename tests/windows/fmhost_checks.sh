#!/bin/sh
# Drives the Windows plug-in through the host emulator under Wine and checks
# every answer of the lifecycle messages, and that the version resource and
# StyledTextVersion both give the project's version (major.minor.fix, which
# the plug-in writes as major.minorfix: 1.0.1 is "1.01").
# usage: fmhost_checks.sh WINE_SH PREFIX BITS FMHOST PLUGIN PROJECT_VERSION
set -u
wine_sh=$1; prefix=$2; bits=$3; fmhost=$4; plugin=$5; project_version=$6
failures=0; passed=0

# Wine under load now and then starts nothing at all: no output, a failing
# exit status. That says nothing of the plug-in, so such a run is tried
# again, twice at most; anything the host printed is an answer and is kept.
# A run that still fails shows its exit status beside what it printed.
run() {
  attempt=1
  while :; do
    out=$("$wine_sh" "$prefix" "$bits" "$fmhost" "$plugin" "$@" 2>&1); status=$?
    if [ -n "$out" ] || [ "$status" = 0 ] || [ "$attempt" -ge 3 ]; then break; fi
    echo "note: Wine started nothing for '$*' (exit status $status), attempt $attempt; trying again" >&2
    attempt=$((attempt + 1)); sleep 1
  done
  printf '%s' "$out" | tr -d '\r'
  [ "$status" = 0 ] || printf '\n(exit status %s)' "$status"
}

expect() {  # expect NAME EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then
    passed=$((passed + 1))
  else
    failures=$((failures + 1))
    printf 'FAIL %s\n--- expected\n%s\n--- actual\n%s\n' "$1" "$2" "$3"
  fi
}

probe=$("$wine_sh" "$prefix" "$bits" "$fmhost" "$plugin" raw 2 2>&1); status=$?
if [ "$status" = 77 ]; then echo "$probe"; exit 77; fi

tab=$(printf '\t')
listing="init: 50
0${tab}StyledTextVersion${tab}StyledTextVersion${tab}0${tab}0${tab}0xFF01
2${tab}StyledClipboard${tab}StyledClipboard${tab}0${tab}0${tab}0xFF01
registered after shutdown: 0"
expect "list version 50" "$listing" "$(run list)"
expect "list version 255" "$(echo "$listing")" "$(run list --version 255)"
for v in 49 256 -1 -300; do
  expect "list version $v" "init: -1
registered after shutdown: 0" "$(run list --version $v)"
done
expect "string 131/12" "Styl1nnYnnn" "$(run string 131 12)"
expect "string 131/5" "Styl" "$(run string 131 5)"
expect "string 1/100" "Styl1nnYnnn" "$(run string 1 100)"
expect "string 128" "Vorn Styled Text" "$(run string 128 100)"
expect "string 129" "This plug-in modifies styled text so it can be copied and pasted between Filemaker and other applications." "$(run string 129 200)"
expect "string capacity 0" "" "$(run string 131 0)"
major=${project_version%%.*}; rest=${project_version#*.}; minor=${rest%%.*}; fix=${rest#*.}
text="$((major)).$minor$fix"
expect "version" "error: 0
result: Vorn Media Styled Text $text" "$(run call StyledTextVersion)"
expect "version resource" "file version: $((major)).$minor.$fix.0
product version: $((major)).$minor.$fix.0
FileVersion: $text
ProductVersion: $text
ProductName: Vorn Styled Text
OriginalFilename: $(basename "$plugin")" "$(run version)"
for level in 0 1 2 3 4; do
  expect "idle $level" "result before: 12345
result after: 12345" "$(run idle $level)"
done
for which in 2 3 5 6 8; do
  expect "raw $which" "result before: 12345
result after: 12345" "$(run raw $which)"
done

echo "$passed passed, $failures failed"
[ "$failures" = 0 ]
